// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QLocalSocket;
class QSocketNotifier;

namespace korvo::sensors {

// The local socket GetCPUInfo answers on. QLocalServer cannot be used: when an accept fails
// because descriptors ran out, it closes itself and removes its socket file (Qt 5.15 then even
// crashes on its own notifier), leaving a copy that holds the lock but cannot be reached. This
// one turns the waiting client away instead and keeps listening.
class LocalListener : public QObject
{
    Q_OBJECT

public:
    explicit LocalListener(QObject* parent = nullptr);
    ~LocalListener() override;

    // Replaces whatever file lies at path: call only while holding the instance lock.
    bool listen(const QString& path);
    // Stops listening and removes the socket file.
    void close();
    QString errorString() const { return error_; }

signals:
    // A new client, a child of the listener.
    void accepted(QLocalSocket* socket);

private:
    void acceptPending();
    void turnAwayOne();
    void setAccepting(bool accepting);

    int fd_ = -1;
    int spare_ = -1; // held back, so that a client can still be accepted and closed when none is free
    QSocketNotifier* notifier_ = nullptr;
    QString path_;
    QString error_;
    bool exhaustionReported_ = false;
};

} // namespace korvo::sensors
