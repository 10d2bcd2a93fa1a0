// Every picture the program names must be compiled in under that exact name and have the size
// of the control it is drawn on; a renamed or missing file would otherwise only show as an
// empty control at run time.

#include <QDir>
#include <QImage>
#include <QMovie>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void pictureLoadsWithItsSize_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        const auto row = [](const QString& path, int width, int height) {
            QTest::newRow(qPrintable(path)) << path << QSize(width, height);
        };
        const auto states = [&row](const char* pattern, int width, int height) {
            for (const char* state : {"n", "s"})
                row(QString(pattern).arg(state), width, height);
        };
        // Main window.
        row("://skins/background_01.png", 960, 588);
        row("://skins/seting_bk.png", 413, 112);
        states("://skins/seting_bt_02_%1.png", 16, 16);
        row("://skins/logo.png", 128, 128);
        row("://skins/mini_n.png", 16, 16);
        row("://skins/close_n.png", 16, 16);
        states("://skins/button_01_%1.png", 147, 40);
        states("://skins/icon_01_%1.png", 20, 20);
        states("://skins/icon_02_%1.png", 20, 20);
        states("://skins/icon_rotate_01_%1.png", 24, 24);
        states("://skins/icon_rotate_02_%1.png", 24, 24);
        states("://skins/button_02_%1.png", 100, 40);
        // Editor cursors.
        row("://skins/drag.png", 32, 32);
        row("://skins/drag2.png", 32, 32);
        // Edit bar and colour bar.
        row("://skins/edit_bk.png", 433, 40);
        row("://skins/Union.png", 163, 49);
        row("://skins/white.png", 20, 22);
        row("://skins/black.png", 20, 22);
        row("://skins/red.png", 20, 22);
        row("://skins/yellow.png", 20, 22);
        row("://skins/blue.png", 20, 22);
        row("://skins/green.png", 20, 22);
        row("://skins/font_white.png", 22, 22);
        row("://skins/font_black.png", 22, 22);
        row("://skins/font_orange.png", 22, 22);
        row("://skins/font_yellow.png", 22, 22);
        row("://skins/font_blue.png", 22, 22);
        row("://skins/font_green.png", 22, 22);
        row("://skins/icon_type_w.png", 18, 19);
        row("://skins/cut1.png", 64, 30);
        row("://skins/cut2.png", 64, 30);
        row("://skins/ret1.png", 64, 30);
        row("://skins/ret2.png", 64, 30);
        states("://skins/icon_trim_%1.png", 16, 16);
        states("://skins/icon_back_%1.png", 16, 16);
        // Dialogs.
        row("://skins/exit_warning.png", 960, 588);
        row("://skins/waring_icon.png", 16, 16);
        row("://skins/1.png", 70, 32);
        row("://skins/eject_ask_bk.png", 240, 120);
        states("://skins/eject_bt_%1.png", 70, 26);
        // Picture list.
        row("://skins/add.png", 77, 54);
        row("://skins/delete.png", 18, 18);
        // Built-in backgrounds: the screen's own size. The sixth one really is a PNG.
        for (int n = 1; n <= 11; ++n)
            row(QString("://background/%1.%2").arg(n).arg(n == 6 ? "png" : "jpg"), 320, 170);
        row(QDir(qEnvironmentVariable("KORVO_PROGRAM_DIR")).filePath("skin/process.png"), 128, 128);
    }

    void pictureLoadsWithItsSize()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QCOMPARE(QImage(path).size(), size);
    }

    void loadingAnimationLoops()
    {
        QMovie movie(QStringLiteral("://skins/loading.gif"));
        QVERIFY(movie.isValid());
        QVERIFY(movie.frameCount() > 1);
        QCOMPARE(movie.loopCount(), -1); // forever: the dialog stays up as long as an apply runs
        QVERIFY(movie.jumpToFrame(0));
        QCOMPARE(movie.currentImage().size(), QSize(128, 128));
    }

    // Frameless translucent windows and the wait dialog take their shape from the alpha: the
    // corners must be clear and the body solid, or the window shows a box or a hole.
    void shapeComesFromAlpha_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QPoint>("corner");
        QTest::addColumn<QPoint>("body");
        QTest::newRow("window") << "://skins/background_01.png" << QPoint(959, 587) << QPoint(480, 300);
        QTest::newRow("exit dialog") << "://skins/exit_warning.png" << QPoint(0, 0) << QPoint(480, 290);
        QTest::newRow("loading") << "://skins/loading.gif" << QPoint(0, 0) << QPoint(64, 64);
        QTest::newRow("wait dialog") << QDir(qEnvironmentVariable("KORVO_PROGRAM_DIR")).filePath("skin/process.png")
                                     << QPoint(127, 127) << QPoint(64, 2);
    }

    void shapeComesFromAlpha()
    {
        QFETCH(QString, path);
        QFETCH(QPoint, corner);
        QFETCH(QPoint, body);
        const QImage image(path);
        QCOMPARE(image.pixelColor(corner).alpha(), 0);
        QVERIFY(image.pixelColor(body).alpha() >= 128);
    }
};

QTEST_MAIN(TestResources)
#include "test_resources.moc"
