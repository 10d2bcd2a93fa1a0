#include "platform/systemevents.h"

#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <mutex>

using korvo::platform::runWithin;
using korvo::platform::SystemEvent;

Q_DECLARE_METATYPE(SystemEvent)

// Keeps its thread busy until let go, then deletes its victim, if any. Called through slots and
// std primitives only, which ThreadSanitizer sees, unlike Qt's own locks.
class Blocker : public QObject
{
    Q_OBJECT

public:
    QObject* victim = nullptr;

    void letGo()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

    // Returns once the thread has come to the sync() posted after everything before it.
    void waitSynced()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return synced_; });
    }

public slots:
    void hold()
    {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [this] { return open_; });
        }
        delete victim;
    }

    void sync()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        synced_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = false;
    bool synced_ = false;
};

class TestSystemEvents : public QObject
{
    Q_OBJECT

private slots:
    // Windows' own numbers, written out: 0x218 WM_POWERBROADCAST, 0x16 WM_ENDSESSION,
    // 0x11 WM_QUERYENDSESSION, 0x10 WM_CLOSE; 4 suspend, 7 resume by the user, 0x12 resume, 0xA
    // power status change.
    void reading_data()
    {
        QTest::addColumn<unsigned>("message");
        QTest::addColumn<quintptr>("wParam");
        QTest::addColumn<SystemEvent>("event");
        QTest::newRow("suspend") << 0x218u << quintptr(4) << SystemEvent::Sleep;
        QTest::newRow("resume") << 0x218u << quintptr(0x12) << SystemEvent::Resume;
        QTest::newRow("resume by the user, after the resume") << 0x218u << quintptr(7) << SystemEvent::None;
        QTest::newRow("power status change") << 0x218u << quintptr(0xA) << SystemEvent::None;
        QTest::newRow("session ends") << 0x16u << quintptr(1) << SystemEvent::SessionEnds;
        QTest::newRow("log-off refused by another program") << 0x16u << quintptr(0) << SystemEvent::None;
        QTest::newRow("question before the end") << 0x11u << quintptr(0) << SystemEvent::None;
        QTest::newRow("another message with suspend's parameter") << 0x10u << quintptr(4) << SystemEvent::None;
    }

    void reading()
    {
        QFETCH(unsigned, message);
        QFETCH(quintptr, wParam);
        QFETCH(SystemEvent, event);
        QCOMPARE(korvo::platform::systemEvent(message, wParam), event);
    }

    void handOff_data()
    {
        QTest::addColumn<bool>("ownThread");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<bool>("contextGone");
        QTest::addColumn<bool>("inTime");
        QTest::addColumn<int>("ranAtAnswer");
        QTest::addColumn<int>("ranInTheEnd");
        QTest::newRow("caller's own thread") << true << false << false << true << 1 << 1;
        QTest::newRow("idle thread") << false << false << false << true << 1 << 1;
        QTest::newRow("busy thread: late, then in order") << false << true << false << false << 0 << 1;
        QTest::newRow("busy thread, object gone meanwhile") << false << true << true << false << 0 << 0;
    }

    // The busy thread is held by a gate, not by time, so only the bound itself is timed.
    void handOff()
    {
        QFETCH(bool, ownThread);
        QFETCH(bool, busy);
        QFETCH(bool, contextGone);
        QFETCH(bool, inTime);
        QFETCH(int, ranAtAnswer);
        QFETCH(int, ranInTheEnd);

        QThread thread;
        auto* context = new QObject;
        Blocker blocker;
        if (contextGone)
            blocker.victim = context;
        std::atomic<int> ran{0};
        // Also when a failed comparison returns early: no thread left running.
        const auto stop = qScopeGuard([&] {
            blocker.letGo();
            thread.quit();
            thread.wait();
            if (!contextGone)
                delete context;
        });
        if (!ownThread) {
            context->moveToThread(&thread);
            blocker.moveToThread(&thread);
            thread.start();
        }
        if (busy)
            QMetaObject::invokeMethod(&blocker, "hold");
        const bool answered = runWithin(
            context, [&ran] { ++ran; }, busy ? 50 : 10000);
        QCOMPARE(answered, inTime);
        QCOMPARE(ran.load(), ranAtAnswer);

        blocker.letGo();
        if (!ownThread) {
            QMetaObject::invokeMethod(&blocker, "sync");
            blocker.waitSynced();
        }
        QCOMPARE(ran.load(), ranInTheEnd);
    }
};

QTEST_GUILESS_MAIN(TestSystemEvents)
#include "test_systemevents.moc"
