// SPDX-License-Identifier: GPL-3.0-or-later
// What keeps the CPU figures honest: their publisher started again whenever it ends, and its
// figures no longer taken as live once its heartbeat stops.

#include "compose/siblingsupervisor.h"
#include "metrics/heartbeat.h"

#include "logcapture.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

using namespace korvo;
using Beats = QList<QPair<int, int>>; // heartbeat, read at this time (ms)
Q_DECLARE_METATYPE(Beats)

class TestSupervision : public QObject
{
    Q_OBJECT

private slots:
    void heartbeat_data()
    {
        QTest::addColumn<Beats>("beats");
        QTest::addColumn<QList<bool>>("live");
        QTest::newRow("stops: live for 3 s, then not")
            << Beats{{7, 0}, {8, 1000}, {8, 4000}, {8, 4001}} << QList<bool>{true, true, true, false};
        QTest::newRow("never moves from the start")
            << Beats{{0, 500}, {0, 3500}, {0, 3501}} << QList<bool>{true, true, false};
        QTest::newRow("comes back") << Beats{{5, 0}, {5, 5000}, {6, 5100}} << QList<bool>{true, false, true};
    }

    void heartbeat()
    {
        QFETCH(Beats, beats);
        QFETCH(QList<bool>, live);
        metrics::HeartbeatWatch watch;
        QList<bool> seen;
        for (const auto& [beat, at] : beats)
            seen << watch.live(uint32_t(beat), at);
        QCOMPARE(seen, live);
    }

    // Restarted 20 ms after it ends, however it ends, then twice as long each time up to 80 ms, one line each time.
    void restartsAfterEnding_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::newRow("exits") << false;
        QTest::newRow("killed") << true;
    }

    void restartsAfterEnding()
    {
        QFETCH(bool, killed);
        compose::SiblingSupervisor supervisor(QStringLiteral("/bin/sleep"), {killed ? "60" : "0"});
        supervisor.setRestartDelays(20, 80);
        QSignalSpy scheduled(&supervisor, &compose::SiblingSupervisor::restartScheduled);
        LogCapture capture;
        supervisor.start();
        for (int round = 0; round < 4; ++round) {
            if (killed) {
                QTRY_VERIFY_WITH_TIMEOUT(supervisor.running(), 5000);
                const qint64 pid = supervisor.processId();
                QVERIFY(pid > 0);
                ::kill(pid_t(pid), SIGKILL);
            }
            // A copy that exits at once may be restarted and end again before this looks.
            QTRY_VERIFY_WITH_TIMEOUT(scheduled.size() >= round + 1, 5000);
        }
        supervisor.stop(0);
        QList<int> delays;
        for (const QList<QVariant>& call : scheduled)
            delays << call.at(0).toInt();
        QCOMPARE(delays.mid(0, 4), (QList<int>{20, 40, 80, 80}));
        QVERIFY(delays.mid(4).count(80) == delays.size() - 4);
        QCOMPARE(LogCapture::lines.size(), scheduled.size());
        QVERIFY(LogCapture::lines.at(0).contains(killed ? "was killed or crashed" : "exited with code 0"));
    }
};

QTEST_MAIN(TestSupervision)
#include "test_supervision.moc"
