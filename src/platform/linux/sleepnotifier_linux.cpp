// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sleepnotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QPointer>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace korvo::platform {
namespace {

const QString Logind = QStringLiteral("org.freedesktop.login1");
const QString LogindPath = QStringLiteral("/org/freedesktop/login1");
const QString LogindManager = QStringLiteral("org.freedesktop.login1.Manager");

// Long enough for a busy logind, short enough that a hung bus does not freeze the window for long.
constexpr int CallTimeoutMs = 2000;

// QtDBus hands a bus signal only to a member named by a string; this gives it a typed one.
class PrepareForSleepRelay : public QObject
{
    Q_OBJECT

signals:
    void prepareForSleep(bool starting);
};

QString describe(const QDBusError& error)
{
    return error.name() + QStringLiteral(": ") + error.message();
}

void logLine(const QString& line)
{
    qWarning("Sleep notifications: %s", qUtf8Printable(line));
}

} // namespace

struct SleepNotifier::Private
{
    // Empty while the shared system bus is used, which is not ours to close.
    QString connectionName;
    QDBusConnection bus{QString()};
    bool subscribed = false;
    PrepareForSleepRelay relay;
    int inhibitor = -1;
    // A child of the relay, so that it dies with it.
    QPointer<QDBusPendingCallWatcher> pendingInhibit;
    // From readyToSleep() until the resume: an inhibitor granted meanwhile would hold the sleep up.
    bool released = false;

    ~Private()
    {
        release();
        if (subscribed && !bus.disconnect(Logind, LogindPath, LogindManager, QStringLiteral("PrepareForSleep"), &relay,
                                          SIGNAL(prepareForSleep(bool))))
            logLine(QStringLiteral("unsubscribing from PrepareForSleep failed"));
        if (!connectionName.isEmpty())
            QDBusConnection::disconnectFromBus(connectionName);
    }

    QDBusPendingCall askForInhibitor()
    {
        QDBusMessage call =
            QDBusMessage::createMethodCall(Logind, LogindPath, LogindManager, QStringLiteral("Inhibit"));
        call << QStringLiteral("sleep") << QStringLiteral("Korvo TFT")
             << QStringLiteral("Stopping the updates of the TFT Screen") << QStringLiteral("delay");
        return bus.asyncCall(call, CallTimeoutMs);
    }

    // Keeps the inhibitor logind granted; false with the reason when there is none to keep.
    bool keep(const QDBusPendingReply<QDBusUnixFileDescriptor>& reply, QString* why)
    {
        if (reply.isError()) {
            *why = QStringLiteral("Inhibit failed: ") + describe(reply.error());
            return false;
        }
        const int handed = reply.value().fileDescriptor();
        if (handed < 0) {
            *why = QStringLiteral("Inhibit answered without a descriptor");
            return false;
        }
        // Our own copy, so that closing it is a call whose result can be checked.
        const int copy = ::fcntl(handed, F_DUPFD_CLOEXEC, 0);
        if (copy < 0) {
            *why = QStringLiteral("copying the inhibitor failed: ") + QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        inhibitor = copy;
        return true;
    }

    void release()
    {
        // Linux frees the descriptor even when close reports an error, so it is never closed twice.
        if (inhibitor >= 0 && ::close(inhibitor) != 0)
            logLine(QStringLiteral("closing the inhibitor failed: ") + QString::fromLocal8Bit(std::strerror(errno)));
        inhibitor = -1;
    }

    // Whether logind itself is on the bus: a failed Inhibit alone cannot tell a missing logind
    // from one that refuses the inhibitor but still announces every sleep.
    bool logindPresent()
    {
        QDBusMessage ask = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
        ask << Logind;
        const QDBusReply<bool> owned = bus.call(ask, QDBus::Block, CallTimeoutMs);
        return owned.isValid() && owned.value();
    }
};

SleepNotifier::SleepNotifier(QObject* parent) : QObject(parent), d(std::make_unique<Private>()) {}

SleepNotifier::~SleepNotifier() = default;

bool SleepNotifier::start()
{
    if (d->subscribed)
        return true;
    auto fail = [this](const QString& why) {
        logLine(why);
        d = std::make_unique<Private>();
        return false;
    };
    const QByteArray address = qgetenv("KORVO_SYSTEM_BUS_ADDRESS");
    if (address.isEmpty()) {
        d->bus = QDBusConnection::systemBus();
    } else {
        d->connectionName = QStringLiteral("korvo-sleep-%1").arg(quintptr(this), 0, 16);
        d->bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(address), d->connectionName);
    }
    if (!d->bus.isConnected())
        return fail(QStringLiteral("no system bus: ") + describe(d->bus.lastError()));
    // Naming logind as the sender makes QtDBus drop the same signal from anyone else on the bus.
    if (!d->bus.connect(Logind, LogindPath, LogindManager, QStringLiteral("PrepareForSleep"), &d->relay,
                        SIGNAL(prepareForSleep(bool))))
        return fail(QStringLiteral("subscribing to PrepareForSleep failed: ") + describe(d->bus.lastError()));
    d->subscribed = true;

    // Waited for here, so that the first sleep after start is already delayed.
    QDBusPendingReply<QDBusUnixFileDescriptor> reply = d->askForInhibitor();
    reply.waitForFinished();
    if (QString why; !d->keep(reply, &why)) {
        if (reply.isError() && !d->logindPresent())
            return fail(QStringLiteral("no logind on the system bus: ") + why);
        logLine(QStringLiteral("sleep cannot be delayed: ") + why);
    }

    connect(&d->relay, &PrepareForSleepRelay::prepareForSleep, this, [this](bool starting) {
        if (starting) {
            emit aboutToSleep();
            return;
        }
        d->released = false;
        // logind may send the resume while an inhibitor is still held: the caller never got ready
        // and the delay ran out.
        if (d->inhibitor < 0 && !d->pendingInhibit) {
            d->pendingInhibit = new QDBusPendingCallWatcher(d->askForInhibitor(), &d->relay);
            connect(d->pendingInhibit, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                QString why;
                if (!d->keep(*call, &why))
                    logLine(QStringLiteral("sleep cannot be delayed: ") + why);
                else if (d->released)
                    d->release();
            });
        }
        // Last: a receiver may well destroy this object.
        emit resumed();
    });
    return true;
}

bool SleepNotifier::nativeEvent(const QByteArray&, void*)
{
    return false;
}

void SleepNotifier::readyToSleep()
{
    d->released = true;
    d->release();
}

} // namespace korvo::platform

#include "sleepnotifier_linux.moc"
