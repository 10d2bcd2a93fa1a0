#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

namespace korvo::platform {

// Tells when the system is about to sleep and when it woke, so that the screen's updates can stop
// before and the screen be given its frame again after. Linux: logind's PrepareForSleep on the
// system bus (KORVO_SYSTEM_BUS_ADDRESS names another bus, for tests), with a delay inhibitor held
// so that the caller has time to stop. Windows: a suspend-resume subscription, which also hears
// modern standby; WM_POWERBROADCAST through nativeEvent where Windows has none. Windows gives two
// seconds and no way to ask for more: receivers of aboutToSleep stop before they return, and
// Windows gets its answer after at most 1.5 s even when they are late.
class SleepNotifier : public QObject
{
    Q_OBJECT

public:
    explicit SleepNotifier(QObject* parent = nullptr);
    ~SleepNotifier() override;

    // Starts listening; false (logged with the reason) when the system offers no way to learn it,
    // e.g. no system bus or no logind. The caller goes on without it.
    bool start();

    // To be called from the window's nativeEvent, beside DeviceNotifier's. Only Windows does work
    // (WM_POWERBROADCAST). Always returns false, so Qt goes on handling the message.
    bool nativeEvent(const QByteArray& eventType, void* message);

    // The caller has done what it must before sleep. Linux: gives the delay up, so the system
    // sleeps now instead of when logind's delay runs out; it is taken again after the resume.
    void readyToSleep();

signals:
    void aboutToSleep();
    void resumed();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace korvo::platform
