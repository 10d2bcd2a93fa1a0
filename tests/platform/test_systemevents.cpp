// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/systemevents.h"

#include <QtTest>

#include <atomic>
#include <thread>

using korvo::platform::runWithin;
using korvo::platform::SystemEvent;

Q_DECLARE_METATYPE(SystemEvent)

// Holds its thread until let go, then deletes its victim, if any. Its flags are std atomics, which
// ThreadSanitizer sees, unlike Qt's own locks.
class Blocker : public QObject
{
    Q_OBJECT

public:
    QObject* victim = nullptr;
    std::atomic<bool> open{false}, synced{false};

public slots:
    void hold()
    {
        while (!open)
            std::this_thread::yield();
        delete victim;
    }
    void sync() { synced = true; }
};

class TestSystemEvents : public QObject
{
    Q_OBJECT

private slots:
    // Windows' own numbers, written out: 0x218 WM_POWERBROADCAST, 0x16 WM_ENDSESSION,
    // 0x11 WM_QUERYENDSESSION, 0x10 WM_CLOSE; 4 suspend, 7 resume by the user, 0x12 resume.
    void reading_data()
    {
        QTest::addColumn<unsigned>("message");
        QTest::addColumn<quintptr>("wParam");
        QTest::addColumn<SystemEvent>("event");
        QTest::newRow("suspend") << 0x218u << quintptr(4) << SystemEvent::Sleep;
        QTest::newRow("resume") << 0x218u << quintptr(0x12) << SystemEvent::Resume;
        QTest::newRow("resume by the user, after the resume") << 0x218u << quintptr(7) << SystemEvent::None;
        QTest::newRow("session ends") << 0x16u << quintptr(1) << SystemEvent::SessionEnds;
        QTest::newRow("log-off refused by another program") << 0x16u << quintptr(0) << SystemEvent::None;
        QTest::newRow("question before the end") << 0x11u << quintptr(0) << SystemEvent::None;
        QTest::newRow("another message with suspend's parameter") << 0x10u << quintptr(4) << SystemEvent::None;
    }

    void reading()
    {
        QFETCH(unsigned, message);
        QFETCH(quintptr, wParam);
        QTEST(korvo::platform::systemEvent(message, wParam), "event");
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
        QThread thread;
        auto* context = new QObject;
        Blocker blocker;
        if (contextGone)
            blocker.victim = context;
        std::atomic<int> ran{0};
        // Also when a failed comparison returns early: no thread left running.
        const auto stop = qScopeGuard([&] {
            blocker.open = true;
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
        const auto work = [&ran] { ++ran; };
        QTEST(runWithin(context, work, busy ? 50 : 10000), "inTime");
        QTEST(ran.load(), "ranAtAnswer");
        blocker.open = true;
        if (!ownThread) {
            QMetaObject::invokeMethod(&blocker, "sync");
            while (!blocker.synced)
                std::this_thread::yield();
        }
        QTEST(ran.load(), "ranInTheEnd");
    }
};

QTEST_GUILESS_MAIN(TestSystemEvents)
#include "test_systemevents.moc"
