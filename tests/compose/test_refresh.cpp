// The refresh loop against the virtual screen, with the clock pinned and the CPU figures written
// into the shared memory by the test in GetCPUInfo's place; alone, around applies, and while the
// screen goes and comes back.

#include "compose/applyrenderer.h"
#include "compose/arearenderer.h"
#include "compose/previewgeometry.h"
#include "compose/refreshdatathread.h"
#include "compose/screensession.h"
#include "compose/tavoprocess.h"
#include "metrics/cpuinfo.h"
#include "metrics/cpuinfosegment.h"
#include "platform/clock.h"
#include "screenfixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <cstring>

using namespace korvo;
using Ms = std::chrono::milliseconds;
using Pauses = std::tuple<int, int, QVector<QRect>>; // pass pause, element pause, sent before the stop
Q_DECLARE_METATYPE(Pauses)

namespace {

// Every figure but the memory load (which follows the real machine) in a box of its own.
const QRect boxes[ElementKindCount] = {{0, 0, 50, 30},
                                       {50, 0, 50, 30},
                                       {},
                                       {100, 0, 50, 30},
                                       {150, 0, 50, 30},
                                       {200, 0, 60, 30},
                                       {260, 0, 60, 30},
                                       {},
                                       {}};

LayoutState figureLayout()
{
    LayoutState state;
    state.record.highlight = FreeText;
    for (int kind = 0; kind < ElementKindCount; ++kind) {
        if (boxes[kind].isValid()) {
            state.record.Show_[kind] = 1;
            state.record.ShowStringRect_[kind] = boxes[kind];
        }
    }
    return state;
}

QVector<QRect> boxesOf(const std::vector<int>& kinds)
{
    QVector<QRect> result;
    for (int kind : kinds)
        result.append(boxes[kind]);
    return result;
}

} // namespace

class TestRefresh : public QObject
{
    Q_OBJECT

    ScreenFixture fixture;
    metrics::CpuInfoSegment cpuInfo;
    CommittedLayout committed;

    void publish(int temperature, int load, int power, int fan = 1000)
    {
        QVERIFY(cpuInfo.publish(metrics::cpuInfoBytes({temperature, load, power, 0, 0, fan})));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(fixture.start());
        qputenv("KORVO_CPUINFO_KEY",
                QByteArray("KorvoRefreshTest") + QByteArray::number(QCoreApplication::applicationPid()));
        QVERIFY(cpuInfo.create());
        platform::setClockOverride([] { return QDateTime(QDate(2025, 2, 3), QTime(9, 5, 7)); });
        committed.set(figureLayout());
    }

    void cleanupTestCase()
    {
        platform::setClockOverride(nullptr);
        cpuInfo.remove();
    }

    void init() { fixture.screen->reset(); }

    // Every pass sets the clock first, then resends the time, the date and what changed: the
    // temperature and the fan; load and power stay.
    void passRedrawsTheChangedFigures()
    {
        compose::AreaRenderer renderer(committed);
        compose::RefreshDataThread refresh(&renderer, Ms(0), Ms(0));
        publish(45, 30, 12);
        QVERIFY(refresh.runPass());
        fixture.screen->clearLog();
        publish(60, 30, 12, 1400);
        QVERIFY(refresh.runPass());

        QCOMPARE(sentAreas(fixture.screen->log()), boxesOf({0, 3, 5, 6}));
        QCOMPARE(fixture.screen->log().front().left(7), QByteArray::fromHex("0055a1f2090507"));
        refresh.stop();
    }

    void screenComesBack_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"plugged in", "resume", "resume twice", "answers after failed writes"})
            QTest::newRow(how) << QString(how);
    }

    void screenComesBack()
    {
        // The figures equal the samples, so only a pass told that a whole frame replaced them
        // sends temperature, load, power and fan again.
        QFETCH(QString, how);
        publish(45, 65, 15);
        compose::ScreenSession session(committed);
        session.setRecoveryDelays(600000, 600000); // no search: only the screen's own answer counts
        session.startRefresh();
        QTRY_VERIFY_WITH_TIMEOUT(sentAreas(fixture.screen->log()).size() >= 2, 5000);
        if (how.startsWith(QLatin1String("answers"))) {
            fixture.screen->setPresent(false);
            QTRY_VERIFY_WITH_TIMEOUT(session.recovering(), 5000);
            fixture.screen->setPresent(true);
        } else if (how.startsWith(QLatin1String("resume"))) {
            session.systemSleeping();
            QVERIFY(!session.refreshing());
            fixture.screen->clearLog();
            QTest::qWait(700); // longer than a pass: nothing may be sent while the system sleeps
            QCOMPARE(fixture.screen->log().size(), size_t(0));
        }
        const int frames = fixture.screen->stats().framesCompleted;
        fixture.screen->clearLog();
        if (how == QLatin1String("plugged in"))
            session.deviceChanged(QString::fromLatin1(link::VirtualScreen::vendorPath()), 0x04D9, 0xFD01, 1, true);
        for (int i = how == QLatin1String("resume twice") ? 2 : how == QLatin1String("resume") ? 1 : 0; i > 0; --i)
            session.systemResumed();
        const auto afterFrame = [this] {
            std::vector<QByteArray> log = fixture.screen->log();
            const auto frame = std::find_if(log.begin(), log.end(), [](const QByteArray& packet) {
                return packet.left(5) == QByteArray::fromHex("0055a3f001");
            });
            return std::vector<QByteArray>(frame, log.end());
        };
        QTRY_VERIFY_WITH_TIMEOUT(sentAreas(afterFrame()).size() >= 6, 5000);
        QCOMPARE(sentAreas(afterFrame()).mid(0, 6), boxesOf({0, 1, 3, 4, 5, 6}));
        // The frame, then the orientation, the clock after it and the clock, before any area.
        QCOMPARE(packetLetters(afterFrame()).left(10), QStringLiteral("FOTCAAAAAA"));
        QCOMPARE(fixture.screen->stats().framesCompleted, frames + 1);
        QVERIFY(!session.recovering());
    }

    // The frame of an apply shows the new layout's sample texts: the first pass after it sends the
    // figures that differ from those, whatever was drawn before the apply.
    void applyStartsFromTheFrameTexts()
    {
        LayoutState state = figureLayout();
        state.record.String_ = {"45℃", "65%", "20%", "18:46", "15w", "2019.12.21", "1000", "", ""};
        CommittedLayout applied;
        applied.set(figureLayout());
        publish(50, 65, 15);
        compose::ScreenSession session(applied);
        connect(&session, &compose::ScreenSession::frameSent, [&] { applied.set(state); });
        QSignalSpy finished(&session, &compose::ScreenSession::applyFinished);
        session.startRefresh();
        QTRY_VERIFY_WITH_TIMEOUT(sentAreas(fixture.screen->log()).contains(boxes[CpuTemperature]), 5000);
        QVERIFY(session.apply(state, plainImage(QSize(320, 170), qRgb(0, 0, 128)), compose::editorSize(0), 0));
        QVERIFY(finished.wait(5000));
        fixture.screen->clearLog();
        session.startRefresh();
        QTRY_VERIFY_WITH_TIMEOUT(sentAreas(fixture.screen->log()).size() >= 3, 5000);
        session.stopRefresh();
        QCOMPARE(sentAreas(fixture.screen->log()).mid(0, 3), boxesOf({0, 3, 5}));
    }

    // However the figures and the free text cross, the free text stays as the frame drew it.
    void freeTextSurvivesTheRefresh_data()
    {
        QTest::addColumn<bool>("portraitEnglish");
        QTest::newRow("landscape") << false;
        QTest::newRow("portrait, English") << true;
    }

    void freeTextSurvivesTheRefresh()
    {
        QFETCH(bool, portraitEnglish);
        LayoutState state;
        state.Mode = 1;
        state.Hor = portraitEnglish ? 1 : 0;
        state.englishInterface = portraitEnglish;
        state.customShow = DefaultCustomShow;
        state.curRectId = 1; // the row through the centre slot
        for (int kind : {CpuTemperature, CpuLoad, MemoryLoad, Time, CpuPower, FreeText})
            state.record.Show_[kind] = 1;
        state.record.String_ = {"45℃", "65%", "20%", "18:46", "15w", "2019.12.21", "1000", "Hello from Korvo TFT", ""};
        state.record.Color = 2; // red (255, 100, 34): nothing else on the black screen is red
        CommittedLayout layout;
        layout.set(state);
        QFile::remove(compose::wholePicturePath());
        QVERIFY(compose::resendLayout(state));
        const auto redPixels = [this] {
            const QImage screen = fixture.screen->framebuffer();
            QVector<QPoint> red; // the glyphs' cores, red as the screen's pixels hold it
            for (int n = 0; n < screen.width() * screen.height(); ++n)
                if (screen.pixel(n % screen.width(), n / screen.width()) == qRgb(255, 101, 33))
                    red.append(QPoint(n % screen.width(), n / screen.width()));
            return red;
        };
        const QVector<QPoint> framed = redPixels();
        QVERIFY(framed.size() > 100);

        publish(52, 31, 27);
        compose::AreaRenderer renderer(layout);
        compose::RefreshDataThread refresh(&renderer, Ms(0), Ms(0));
        for (int pass = 0; pass < 100; ++pass)
            QVERIFY(refresh.runPass());
        refresh.stop();
        QVERIFY(fixture.screen->stats().areaPackets > 200);
        // A figure's new glyphs may turn a pixel at the very edge of a letter; a cut letter loses dozens.
        const QVector<QPoint> after = redPixels();
        const auto lost =
            std::count_if(framed.begin(), framed.end(), [&](const QPoint& p) { return !after.contains(p); });
        QVERIFY2(lost <= 2, qPrintable(QString::number(lost)));
    }

    // A sleep that comes during an apply waits for its frame; waking up then sends no second one.
    void resumeWhileApplying()
    {
        compose::ScreenSession session(committed);
        QSignalSpy finished(&session, &compose::ScreenSession::applyFinished);
        const int frames = fixture.screen->stats().framesCompleted;
        QVERIFY(
            session.apply(figureLayout(), plainImage(QSize(320, 170), qRgb(0, 0, 128)), compose::editorSize(0), 200));
        session.systemSleeping();
        QCOMPARE(fixture.screen->stats().framesCompleted, frames + 1);
        session.systemResumed();
        QVERIFY(finished.wait(5000));
        QTest::qWait(100);
        QCOMPARE(fixture.screen->stats().framesCompleted, frames + 1);
    }

    void searchBacksOff()
    {
        publish(45, 65, 15);
        compose::ScreenSession session(committed);
        session.setRecoveryDelays(20, 80);
        QSignalSpy scheduled(&session, &compose::ScreenSession::recoveryScheduled);
        session.startRefresh();
        fixture.screen->setPresent(false);
        QTRY_VERIFY_WITH_TIMEOUT(scheduled.size() >= 5, 10000);
        const int frames = fixture.screen->stats().framesCompleted;
        fixture.screen->setPresent(true);
        QTRY_VERIFY_WITH_TIMEOUT(!session.recovering(), 5000);
        QCOMPARE(fixture.screen->stats().framesCompleted, frames + 1);
        // Failing again right after it came back, it goes on with the longest wait.
        fixture.screen->setPresent(false);
        QTRY_VERIFY_WITH_TIMEOUT(session.recovering(), 5000);
        QList<int> delays;
        for (const QList<QVariant>& call : scheduled)
            delays << call.at(0).toInt();
        QCOMPARE(delays.mid(0, 5), (QList<int>{20, 40, 80, 80, 80}));
        QCOMPARE(delays.last(), 80);
        fixture.screen->setPresent(true);
    }

    void stopIsPrompt_data()
    {
        QTest::addColumn<Pauses>("row");
        // Load (30% against the sample 65%) is the first figure that differs: the walk stops in the
        // pause after it.
        QTest::newRow("in the element walk") << Pauses{0, 60000, {boxes[CpuLoad]}};
        QTest::newRow("in the pass pause") << Pauses{60000, 0, boxesOf({1, 3, 4, 5})};
    }

    void stopIsPrompt()
    {
        QFETCH(Pauses, row);
        const auto& [passPause, kindPause, sent] = row;
        publish(45, 30, 12);
        compose::AreaRenderer renderer(committed);
        compose::RefreshDataThread refresh(&renderer, Ms(passPause), Ms(kindPause));
        refresh.start();
        QTRY_COMPARE_WITH_TIMEOUT(sentAreas(fixture.screen->log()).size(), sent.size(), 10000);
        QElapsedTimer timer;
        timer.start();
        refresh.stop();
        QVERIFY(timer.elapsed() < 2000);
        QVERIFY(refresh.isFinished());
        QCOMPARE(sentAreas(fixture.screen->log()), sent);
    }

    // Apply and refresh at once, over and over: the frame must reach the screen whole every time,
    // with the loop drawing beside it, stopped and started around each apply.
    void applyWhileRefreshing()
    {
        constexpr int Rounds = 200;
        fixture.screen->setLogging(false);
        const QImage picture = plainImage(QSize(320, 170), qRgb(40, 60, 90));
        CommittedLayout shown;
        compose::AreaRenderer renderer(shown);
        const int handlesBefore = fixture.screen->stats().openHandles; // the earlier tests' link
        for (int round = 0; round < Rounds; ++round) {
            compose::RefreshDataThread refresh(&renderer, Ms(1), Ms(0));
            const int commandsBefore = fixture.screen->stats().commands;
            refresh.start();
            QVERIFY(QTest::qWaitFor([&] { return fixture.screen->stats().commands != commandsBefore; }, 5000));

            LayoutState working = figureLayout(); // landscape and portrait, theme and custom slots in turn
            working.Hor = uint8_t(round % 2);
            working.Mode = uint8_t(round % 4 / 2);
            working.customShow = DefaultCustomShow;
            working.record.String_.fill(QString::number(round));
            compose::TavoProcessThread apply(working, picture, compose::editorSize(working.Hor), 0);
            apply.start();
            QVERIFY(apply.wait(30000));
            QVERIFY(apply.succeeded());
            shown.set(working); // while the loop still reads the snapshot, as the GUI thread does
            refresh.stop();
        }
        fixture.screen->setLogging(true);
        const auto stats = fixture.screen->stats();
        QCOMPARE(stats.framesCompleted, Rounds);
        QCOMPARE(stats.interleaved, 0);
        QCOMPARE(stats.rejected, 0);
        QVERIFY(stats.areaPackets > 0);
        QCOMPARE(stats.openHandles, handlesBefore);
    }
};

QTEST_MAIN(TestRefresh)
#include "test_refresh.moc"
