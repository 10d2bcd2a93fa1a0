// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/siblingsupervisor.h"

#include "platform/sibling.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QThread>

#include <algorithm>

namespace korvo::compose {

SiblingSupervisor::SiblingSupervisor(const QString& program, const QStringList& arguments, QObject* parent)
    : QObject(parent), program_(program), arguments_(arguments)
{
    process_.setProgram(program_);
    process_.setArguments(arguments_);
    // Its messages go where ours go.
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    restartTimer_.setSingleShot(true);
    connect(&restartTimer_, &QTimer::timeout, this, &SiblingSupervisor::start);
    connect(&process_, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            [this](int code, QProcess::ExitStatus status) {
                ended(status == QProcess::CrashExit ? QStringLiteral("was killed or crashed")
                                                    : QStringLiteral("exited with code %1").arg(code));
            });
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            ended(QStringLiteral("could not be started: ") + process_.errorString());
    });
}

SiblingSupervisor::~SiblingSupervisor()
{
    stop(0);
}

void SiblingSupervisor::start()
{
    supervising_ = true;
    if (running())
        return;
    sinceStart_.start();
    process_.start();
}

void SiblingSupervisor::close()
{
    // A copy started moments ago may not listen yet; it must not outlive the program.
    if (running()) {
        QDeadlineTimer deadline(2000);
        while (!platform::siblingRunning() && !deadline.hasExpired())
            QThread::msleep(50);
    }
    platform::closeSibling();
    stop(2000);
}

void SiblingSupervisor::stop(int waitMs)
{
    supervising_ = false;
    restartTimer_.stop();
    if (!running())
        return;
    if (!process_.waitForFinished(waitMs)) {
        process_.kill();
        process_.waitForFinished(1000);
    }
}

void SiblingSupervisor::setRestartDelays(int firstMs, int mostMs, int settledMs)
{
    firstDelayMs_ = std::max(1, firstMs);
    mostDelayMs_ = std::max(firstDelayMs_, mostMs);
    settledMs_ = std::max(0, settledMs);
    nextDelayMs_ = firstDelayMs_;
}

void SiblingSupervisor::ended(const QString& how)
{
    if (!supervising_ || restartTimer_.isActive())
        return;
    // One that ran well for a while starts again soon; one that keeps failing, ever later.
    if (sinceStart_.isValid() && sinceStart_.hasExpired(settledMs_))
        nextDelayMs_ = firstDelayMs_;
    qWarning("%s %s; it is started again in %d ms.\n", qUtf8Printable(program_), qUtf8Printable(how), nextDelayMs_);
    restartTimer_.start(nextDelayMs_);
    emit restartScheduled(nextDelayMs_);
    nextDelayMs_ = std::min(nextDelayMs_ * 2, mostDelayMs_);
}

} // namespace korvo::compose
