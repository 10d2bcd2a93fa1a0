// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace korvo::compose {

// Keeps the CPU figures' publisher (GetCPUInfo) running: started once, it is started again
// whenever it exits or is killed, after 1 s, then twice as long each time it fails again soon,
// at most 30 s; one log line per restart. GUI thread.
class SiblingSupervisor : public QObject
{
    Q_OBJECT
public:
    SiblingSupervisor(const QString& program, const QStringList& arguments, QObject* parent = nullptr);
    // Ends the supervision; a copy still running is left to stop().
    ~SiblingSupervisor() override;

    // Starts the program unless it runs already, and supervises it from then on.
    void start();
    // Stops the supervision, then waits up to `waitMs` for the program to end (once asked to by
    // its own means) and kills it if it has not.
    void stop(int waitMs);
    // Asks the program to close by its own means and stops supervising it; a copy started moments
    // ago is given up to 2 s to listen first, and one that does not end is killed.
    void close();
    bool running() const { return process_.state() != QProcess::NotRunning; }
    qint64 processId() const { return process_.processId(); }

    void setRestartDelays(int firstMs, int mostMs, int settledMs = 60000);

signals:
    // The program ended and is started again in `delayMs`.
    void restartScheduled(int delayMs);

private:
    void ended(const QString& how);

    const QString program_;
    const QStringList arguments_;
    QProcess process_;
    QTimer restartTimer_;
    QElapsedTimer sinceStart_;
    bool supervising_ = false;
    int firstDelayMs_ = 1000;
    int mostDelayMs_ = 30000;
    int settledMs_ = 60000;
    int nextDelayMs_ = 1000;
};

} // namespace korvo::compose
