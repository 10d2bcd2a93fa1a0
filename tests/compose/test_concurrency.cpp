// Apply and refresh at once, over and over: the frame must reach the screen whole every time,
// with the refresh loop drawing beside it and being stopped and started around each apply.

#include "compose/arearenderer.h"
#include "compose/previewgeometry.h"
#include "compose/refreshdatathread.h"
#include "compose/tavoprocess.h"
#include "screenfixture.h"

#include <QElapsedTimer>

#include <thread>

using namespace korvo;
using Ms = std::chrono::milliseconds;

namespace {

LayoutState layout(int round)
{
    LayoutState state;
    state.Hor = uint8_t(round % 2);
    if (round % 4 < 2) {
        state.ThemeID = 0;
        state.record.highlight = CpuTemperature;
        for (int kind : {CpuTemperature, CpuLoad, Time, CpuPower, Date}) {
            state.record.Show_[kind] = 1;
            state.record.ShowStringRect_[kind] = QRect(10, 10 + 30 * kind, 60, 28);
            state.record.String_[kind] = QString::number(round);
        }
    } else {
        state.Mode = 1;
        state.customShow = DefaultCustomShow;
        state.record.Show_[Time] = 1;
        state.record.Show_[Date] = 1;
    }
    return state;
}

// Waits (briefly) until the refresh loop has written to the screen again.
bool refreshWrote(const korvo::link::VirtualScreen& screen, int commandsBefore)
{
    QElapsedTimer timer;
    timer.start();
    while (screen.stats().commands == commandsBefore) {
        if (timer.elapsed() > 5000)
            return false;
        std::this_thread::sleep_for(Ms(1));
    }
    return true;
}

} // namespace

class TestConcurrency : public QObject
{
    Q_OBJECT

    ScreenFixture fixture;

private slots:
    void initTestCase() { QVERIFY(fixture.start()); }

    void applyWhileRefreshing()
    {
        constexpr int Rounds = 200;
        fixture.screen->setLogging(false);
        qputenv("KORVO_CPUINFO_KEY",
                QByteArray("KorvoConcurrencyTest") + QByteArray::number(QCoreApplication::applicationPid()));
        QImage picture(320, 170, QImage::Format_RGB32);
        picture.fill(qRgb(40, 60, 90));

        CommittedLayout committed;
        compose::AreaRenderer renderer(committed);
        for (int round = 0; round < Rounds; ++round) {
            compose::RefreshDataThread refresh(&renderer, Ms(1), Ms(0));
            const int commandsBefore = fixture.screen->stats().commands;
            refresh.start();
            QVERIFY(refreshWrote(*fixture.screen, commandsBefore));

            const LayoutState working = layout(round);
            compose::TavoProcessThread apply(working, picture, compose::editorSize(working.Hor), 0);
            apply.start();
            QVERIFY(apply.wait(30000));
            QVERIFY(apply.succeeded());
            // Committed while the loop still reads the snapshot, as the GUI thread does.
            committed.set(working);
            refresh.stop();
        }

        const auto stats = fixture.screen->stats();
        QCOMPARE(stats.framesCompleted, Rounds);
        QCOMPARE(stats.interleaved, 0);
        QCOMPARE(stats.rejected, 0);
        QVERIFY(stats.areaPackets > 0);
        QCOMPARE(stats.openHandles, 0);
    }
};

QTEST_MAIN(TestConcurrency)
#include "test_concurrency.moc"
