// SPDX-License-Identifier: GPL-3.0-or-later
// The refresh passes and the screen session against the virtual screen, the test publishing the
// CPU figures in GetCPUInfo's place: around applies and through a real screen's faults.

#include "compose/backdrop.h"
#include "compose/previewgeometry.h"
#include "compose/screensession.h"
#include "config/screendocument.h"
#include "config/tempconfig.h"
#include "metrics/cpuinfo.h"
#include "metrics/cpuinfosegment.h"
#include "platform/clock.h"
#include "screenfixture.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>

using namespace korvo;
using Ms = std::chrono::milliseconds;

namespace {

// Every figure but the memory load (which follows the real machine) in a box of its own.
const QRect boxes[ElementKindCount] = {QRect(0, 0, 50, 30),   QRect(50, 0, 50, 30),  QRect(),
                                       QRect(100, 0, 50, 30), QRect(150, 0, 50, 30), QRect(200, 0, 60, 30),
                                       QRect(260, 0, 60, 30)};

// Those figures, with their sample texts when asked.
LayoutState figureLayout(bool samples = false)
{
    LayoutState state;
    state.record.highlight = FreeText;
    for (int kind = 0; kind < ElementKindCount; ++kind) {
        state.record.Show_[kind] = boxes[kind].isValid();
        state.record.ShowStringRect_[kind] = boxes[kind];
    }
    if (samples)
        state.record.String_ = {"45℃", "65%", "20%", "18:46", "15w", "2019.12.21", "1000", "", ""};
    return state;
}

// Everything from the first chunk of a whole frame on.
std::vector<QByteArray> fromFirstFrame(std::vector<QByteArray> log)
{
    const auto frame = std::find_if(log.begin(), log.end(), [](const QByteArray& packet) {
        return packet.left(5) == QByteArray::fromHex("0055a3f001");
    });
    return std::vector<QByteArray>(frame, log.end());
}

} // namespace

class TestRefresh : public QObject
{
    Q_OBJECT

    ScreenFixture fixture;
    metrics::CpuInfoSegment cpuInfo;
    const QImage bluePicture = plainImage(QSize(320, 170), qRgb(0, 0, 128));

    // Moves the heartbeat on as GetCPUInfo does, so the figures stay live however long a test runs.
    QTimer heartbeat;
    qint32 beat = 0;
    std::array<qint32, 3> figures{};

    void publish(qint32 temperature, qint32 load, qint32 power)
    {
        figures = {temperature, load, power};
        QVERIFY(cpuInfo.publish(metrics::cpuInfoBytes({temperature, load, power, 0, ++beat, 1000})));
    }

    // A session on a document that shows `shown`, with quick passes.
    static std::unique_ptr<compose::ScreenSession> sessionOn(ScreenDocument& document, const LayoutState& shown,
                                                             Ms passPause = Ms(20), Ms kindPause = Ms(0))
    {
        document.commit(shown).write();
        return std::make_unique<compose::ScreenSession>(document, nullptr, passPause, kindPause);
    }

    // 1 when the apply's frame landed, 0 when it did not, -1 when the apply did not end or a second
    // one was taken while it went out.
    static int applied(compose::ScreenSession& session, const LayoutState& state, const QImage& picture)
    {
        QSignalSpy finished(&session, &compose::ScreenSession::applyFinished);
        const QSize size = compose::editorSize(state.Hor);
        if (!session.apply(state, picture, size, 0) || session.apply(state, picture, size, 0) || !finished.wait(20000))
            return -1;
        return finished.at(0).at(0).toBool();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(fixture.start());
        qputenv("KORVO_CPUINFO_KEY",
                QByteArray("KorvoRefreshTest") + QByteArray::number(QCoreApplication::applicationPid()));
        QVERIFY(cpuInfo.create());
        platform::setClockOverride([] { return QDateTime(QDate(2025, 2, 3), QTime(9, 5, 7)); });
        connect(&heartbeat, &QTimer::timeout, this, [this] { publish(figures[0], figures[1], figures[2]); });
        heartbeat.start(500);
    }

    void cleanupTestCase()
    {
        platform::setClockOverride(nullptr);
        cpuInfo.remove();
    }

    void init()
    {
        fixture.screen->reset();
        korvo::link::EnumerateScreens();
    }

    // However the screen was lost, nothing reaches it before a whole frame of the committed
    // layout, then the orientation, the clock after it and the pass: its clock and every figure
    // that differs from the frame's sample texts. `before`: the packets allowed between the fault
    // and the frame, as packet letters.
    void screenComesBack_data()
    {
        QTest::addColumn<QString>("before");
        QTest::newRow("plugged in") << "[CA]*"; // the pass under way when it arrived
        QTest::newRow("resume twice") << QString();
        QTest::newRow("sleep during start-up") << QString();
        QTest::newRow("failed write") << "[CA]"; // the packet that failed
        QTest::newRow("stops answering") << QString();
        // Its old node may have been given to another device: nothing goes there until it is listed again.
        QTest::newRow("unplugged") << QString();
    }

    void screenComesBack()
    {
        const QString how = QTest::currentDataTag();
        QFETCH(QString, before);
        publish(45, 65, 15);
        ScreenDocument document;
        const auto session = sessionOn(document, figureLayout());
        session->setRecoveryDelays(50, 50);
        QSignalSpy readyToSleep(session.get(), &compose::ScreenSession::readyToSleep);
        const QString node = QString::fromLatin1(link::VirtualScreen::vendorPath());
        const bool startUp = how == QLatin1String("sleep during start-up");
        if (startUp)
            session->systemSleeping();
        session->open();
        session->startRefresh();
        if (!startUp)
            QTRY_VERIFY_WITH_TIMEOUT(sentAreas(fixture.screen->log()).size() >= 2, 5000);
        const int frames = fixture.screen->stats().framesCompleted;
        fixture.screen->clearLog();
        if (how == QLatin1String("plugged in")) {
            session->deviceChanged(node, 0x04D9, 0xFD01, 1, true);
        } else if (how == QLatin1String("failed write")) {
            fixture.screen->failWrite(1);
        } else if (how == QLatin1String("stops answering")) {
            fixture.screen->setPresent(false);
            QTRY_VERIFY_WITH_TIMEOUT(session->recovering(), 5000);
            fixture.screen->clearLog();
            fixture.screen->setPresent(true);
        } else {
            if (how == QLatin1String("unplugged")) {
                fixture.screen->setListed(false);
                session->deviceChanged(node, 0x04D9, 0xFD01, 1, false);
                QTest::qWait(100);
            } else {
                if (!startUp)
                    session->systemSleeping();
                QVERIFY(readyToSleep.wait(5000));
            }
            const int writes = startUp ? 0 : fixture.screen->stats().writes;
            QTest::qWait(300); // longer than a pass
            QCOMPARE(fixture.screen->stats().writes, writes);
            fixture.screen->clearLog();
            fixture.screen->setListed(true);
            session->systemResumed();
            session->systemResumed();
        }
        QTRY_VERIFY_WITH_TIMEOUT(sentAreas(fromFirstFrame(fixture.screen->log())).size() >= 6, 5000);
        const std::vector<QByteArray> log = fixture.screen->log();
        const QString letters = packetLetters(log);
        QVERIFY2(QRegularExpression(QStringLiteral("^%1FOTCAAAAAA").arg(before)).match(letters).hasMatch(),
                 qPrintable(letters));
        QCOMPARE(sentAreas(fromFirstFrame(log)).mid(0, 6),
                 (QVector<QRect>{boxes[0], boxes[1], boxes[3], boxes[4], boxes[5], boxes[6]}));
        QCOMPARE(fixture.screen->stats().framesCompleted, frames + 1);
    }

    // The preview learns which figures the screen shows as "--"; a frame sent meanwhile shows them so too.
    void unavailableFiguresReported()
    {
        publish(metrics::UnavailableFigure, 30, 12);
        ScreenDocument document;
        const auto session = sessionOn(document, figureLayout(true));
        QSignalSpy reported(session.get(), &compose::ScreenSession::figuresUnavailable);
        session->startRefresh();
        QTRY_VERIFY_WITH_TIMEOUT(!reported.isEmpty(), 5000);
        // Not as its sample "45℃": the passes after the frame correct the load, not the temperature.
        fixture.screen->clearLog();
        QCOMPARE(applied(*session, figureLayout(true), bluePicture), 1);
        QTRY_VERIFY_WITH_TIMEOUT(sentAreas(fromFirstFrame(fixture.screen->log())).contains(boxes[CpuLoad]), 5000);
        QVERIFY(!sentAreas(fromFirstFrame(fixture.screen->log())).contains(boxes[CpuTemperature]));
        const QImage drawnByFrame = fixture.screen->framebuffer().copy(boxes[CpuTemperature]);
        publish(45, 30, 12);
        QTRY_VERIFY_WITH_TIMEOUT(!reported.last()[0].value<metrics::FigureSet>().test(CpuTemperature), 5000);
        const auto first = reported[0][0].value<metrics::FigureSet>();
        QVERIFY(first.test(CpuTemperature) && !first.test(CpuLoad));
        // The frame's "--" is the one an area update draws when the sensor goes again.
        fixture.screen->clearLog();
        publish(metrics::UnavailableFigure, 30, 12);
        QTRY_VERIFY_WITH_TIMEOUT(sentAreas(fixture.screen->log()).contains(boxes[CpuTemperature]), 5000);
        QCOMPARE(fixture.screen->framebuffer().copy(boxes[CpuTemperature]), drawnByFrame);
    }

    // A failed apply leaves the committed layout and its background; the next frame shows the earlier layout exactly.
    void failedApplyShowsThePreviousLayout_data()
    {
        QTest::addColumn<bool>("resume");
        QTest::newRow("a chunk fails") << false;
        QTest::newRow("resume while the frame waits for its retry") << true;
    }

    void failedApplyShowsThePreviousLayout()
    {
        QFETCH(bool, resume);
        ScreenDocument document;
        const auto session = sessionOn(document, figureLayout());
        session->setRecoveryDelays(resume ? 600000 : 50, resume ? 600000 : 50);
        QCOMPARE(applied(*session, figureLayout(true), bluePicture), 1);
        const QImage shown = fixture.screen->framebuffer();
        const QByteArray background = TempConfig::readFile(compose::wholePicturePath());
        QVERIFY(!background.isEmpty());
        const int frames = fixture.screen->stats().framesCompleted;

        fixture.screen->setWriteDelay(2);
        fixture.screen->failWrite(10);
        LayoutState other = figureLayout(true);
        other.record.String_[CpuTemperature] = QStringLiteral("99℃");
        QCOMPARE(applied(*session, other, plainImage(QSize(320, 170), qRgb(200, 0, 0))), 0);
        QCOMPARE(document.committedState(), figureLayout(true));
        QCOMPARE(TempConfig::readFile(compose::wholePicturePath()), background);
        if (resume) {
            fixture.screen->clearLog();
            session->syncClock(); // the minute's clock, too, waits for the frame
            QTest::qWait(100);
            session->systemSleeping();
            session->systemResumed();
        }
        QTRY_COMPARE_WITH_TIMEOUT(fixture.screen->stats().framesCompleted, frames + 1, 5000);
        QVERIFY(!resume || packetLetters(fixture.screen->log()).startsWith('F'));
        QCOMPARE(fixture.screen->framebuffer(), shown);
    }

    // A screen that keeps failing is tried again after ever longer waits; one that fails again
    // soon after it came back goes on from the longest, one that ran well for a while starts short.
    void searchBacksOff()
    {
        publish(45, 65, 15);
        ScreenDocument document;
        const auto session = sessionOn(document, figureLayout());
        session->setRecoveryDelays(20, 80, 1000);
        QSignalSpy scheduled(session.get(), &compose::ScreenSession::recoveryScheduled);
        session->startRefresh();
        // Returns the number of the round's first wait.
        const auto failAndComeBack = [&](int tries) -> int {
            const int first = scheduled.size();
            fixture.screen->setPresent(false);
            const bool failed = QTest::qWaitFor([&] { return scheduled.size() >= first + tries; }, 10000);
            fixture.screen->setPresent(true);
            return failed && QTest::qWaitFor([&] { return !session->recovering(); }, 5000) ? first : -1;
        };
        QCOMPARE(failAndComeBack(5), 0);
        const int soonAfter = failAndComeBack(1);
        QTest::qWait(1200);
        const int wellAfter = failAndComeBack(1);
        QList<int> delays;
        for (const QList<QVariant>& call : scheduled)
            delays << call.at(0).toInt();
        // The first five waits, then the first of each later round.
        QCOMPARE(delays.mid(0, 5) << delays.value(soonAfter) << delays.value(wellAfter),
                 (QList<int>{20, 40, 80, 80, 80, 80, 20}));
    }

    // Ending the program inside a slow write or a pause returns promptly; no half-sent frame counts as whole.
    void exitDuringASlowWrite_data()
    {
        QTest::addColumn<bool>("inFrame");
        QTest::newRow("in a frame") << true;
        QTest::newRow("in the pause after a figure") << false;
    }

    void exitDuringASlowWrite()
    {
        QFETCH(bool, inFrame);
        publish(45, 30, 12);
        ScreenDocument document;
        auto session = sessionOn(document, figureLayout(), Ms(0), Ms(inFrame ? 0 : 60000));
        if (inFrame) {
            fixture.screen->setWriteDelay(100); // 27 chunks: 2.7 s for the frame
            QVERIFY(session->apply(figureLayout(true), bluePicture, compose::editorSize(0), 0));
        } else {
            session->startRefresh();
        }
        QTRY_VERIFY_WITH_TIMEOUT(fixture.screen->stats().writes > 1, 5000);
        QElapsedTimer timer;
        timer.start();
        session.reset();
        QVERIFY(timer.elapsed() < 2000);
        QCOMPARE(fixture.screen->stats().framesCompleted, 0);
    }
};

QTEST_MAIN(TestRefresh)
#include "test_refresh.moc"
