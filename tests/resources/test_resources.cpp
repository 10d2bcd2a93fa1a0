// Every picture the program names must be compiled in under that exact name and have the size
// of the control it is drawn on; a renamed or missing file would otherwise only show as an
// empty control at run time.

#include <QDir>
#include <QImage>
#include <QMovie>
#include <QSize>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void pictureLoadsWithItsSize_data();
    void pictureLoadsWithItsSize();
    void loadingAnimationLoops();
    void waitDialogPictureShapesTheDialog();
    void windowSizedPicturesKeepTheWindowShape_data();
    void windowSizedPicturesKeepTheWindowShape();
    void statesLookDifferent_data();
    void statesLookDifferent();
};

void TestResources::pictureLoadsWithItsSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");

    const auto row = [](const char* path, int width, int height) {
        QTest::newRow(path) << QString::fromLatin1(path) << QSize(width, height);
    };
    // Main window.
    row("://skins/background_01.png", 960, 588);
    row("://skins/seting_bk.png", 413, 112);
    row("://skins/seting_bt_02_n.png", 16, 16);
    row("://skins/seting_bt_02_s.png", 16, 16);
    row("://skins/logo.png", 128, 128);
    row("://skins/mini_n.png", 16, 16);
    row("://skins/close_n.png", 16, 16);
    row("://skins/button_01_n.png", 147, 40);
    row("://skins/button_01_s.png", 147, 40);
    row("://skins/icon_01_n.png", 20, 20);
    row("://skins/icon_01_s.png", 20, 20);
    row("://skins/icon_02_n.png", 20, 20);
    row("://skins/icon_02_s.png", 20, 20);
    row("://skins/icon_rotate_01_n.png", 24, 24);
    row("://skins/icon_rotate_01_s.png", 24, 24);
    row("://skins/icon_rotate_02_n.png", 24, 24);
    row("://skins/icon_rotate_02_s.png", 24, 24);
    row("://skins/button_02_n.png", 100, 40);
    row("://skins/button_02_s.png", 100, 40);
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
    row("://skins/icon_trim_n.png", 16, 16);
    row("://skins/icon_trim_s.png", 16, 16);
    row("://skins/icon_back_n.png", 16, 16);
    row("://skins/icon_back_s.png", 16, 16);
    // Dialogs.
    row("://skins/exit_warning.png", 960, 588);
    row("://skins/waring_icon.png", 16, 16);
    row("://skins/1.png", 70, 32);
    row("://skins/eject_ask_bk.png", 240, 120);
    row("://skins/eject_bt_n.png", 70, 26);
    row("://skins/eject_bt_s.png", 70, 26);
    // Picture list.
    row("://skins/add.png", 77, 54);
    row("://skins/delete.png", 18, 18);
    // Built-in backgrounds: the screen's own size. The sixth one really is a PNG.
    row("://background/1.jpg", 320, 170);
    row("://background/2.jpg", 320, 170);
    row("://background/3.jpg", 320, 170);
    row("://background/4.jpg", 320, 170);
    row("://background/5.jpg", 320, 170);
    row("://background/6.png", 320, 170);
    row("://background/7.jpg", 320, 170);
    row("://background/8.jpg", 320, 170);
    row("://background/9.jpg", 320, 170);
    row("://background/10.jpg", 320, 170);
    row("://background/11.jpg", 320, 170);
}

void TestResources::pictureLoadsWithItsSize()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);

    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
}

void TestResources::loadingAnimationLoops()
{
    QMovie movie(QStringLiteral("://skins/loading.gif"));
    QVERIFY(movie.isValid());
    QVERIFY(movie.frameCount() > 1);
    QCOMPARE(movie.loopCount(), -1); // forever: the dialog stays up as long as an apply runs

    QVERIFY(movie.jumpToFrame(0));
    const QImage frame = movie.currentImage();
    QCOMPARE(frame.size(), QSize(128, 128));
    // Clear outside the rounded plate, solid on it, so it matches the dialog's mask.
    QCOMPARE(frame.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(frame.pixelColor(64, 64).alpha(), 255);
}

void TestResources::waitDialogPictureShapesTheDialog()
{
    const QString path = QDir(qEnvironmentVariable("KORVO_PROGRAM_DIR")).filePath(QStringLiteral("skin/process.png"));
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(128, 128));
    // The dialog takes its mask from this alpha: rounded corners cut away, the body kept.
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(image.pixelColor(127, 127).alpha(), 0);
    QVERIFY(image.pixelColor(64, 64).alpha() >= 128);
    QVERIFY(image.pixelColor(64, 2).alpha() >= 128);
}

void TestResources::windowSizedPicturesKeepTheWindowShape_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QPoint>("inside");
    QTest::addColumn<int>("minimumAlphaInside");
    QTest::addColumn<int>("maximumAlphaInside");

    // The window is frameless and translucent: its corners must be clear in both pictures.
    QTest::newRow("window") << QStringLiteral("://skins/background_01.png") << QPoint(480, 300) << 255 << 255;
    // The exit dialog dims the window but must not hide it.
    QTest::newRow("exit dialog, dimmed area")
        << QStringLiteral("://skins/exit_warning.png") << QPoint(100, 300) << 100 << 254;
    QTest::newRow("exit dialog, message panel")
        << QStringLiteral("://skins/exit_warning.png") << QPoint(480, 290) << 255 << 255;
}

void TestResources::windowSizedPicturesKeepTheWindowShape()
{
    QFETCH(QString, path);
    QFETCH(QPoint, inside);
    QFETCH(int, minimumAlphaInside);
    QFETCH(int, maximumAlphaInside);

    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    for (const QPoint corner : {QPoint(0, 0), QPoint(959, 0), QPoint(0, 587), QPoint(959, 587)})
        QCOMPARE(image.pixelColor(corner).alpha(), 0);
    const int alpha = image.pixelColor(inside).alpha();
    QVERIFY2(alpha >= minimumAlphaInside && alpha <= maximumAlphaInside, qPrintable(QString::number(alpha)));
}

void TestResources::statesLookDifferent_data()
{
    QTest::addColumn<QString>("normal");
    QTest::addColumn<QString>("selected");

    const auto row = [](const char* name, const char* normal, const char* selected) {
        QTest::newRow(name) << QString::fromLatin1(normal) << QString::fromLatin1(selected);
    };
    row("page button", "://skins/button_01_n.png", "://skins/button_01_s.png");
    row("action button", "://skins/button_02_n.png", "://skins/button_02_s.png");
    row("themes icon", "://skins/icon_01_n.png", "://skins/icon_01_s.png");
    row("pictures icon", "://skins/icon_02_n.png", "://skins/icon_02_s.png");
    row("rotate, landscape", "://skins/icon_rotate_01_n.png", "://skins/icon_rotate_01_s.png");
    row("rotate, portrait", "://skins/icon_rotate_02_n.png", "://skins/icon_rotate_02_s.png");
    row("rotate, orientation", "://skins/icon_rotate_01_n.png", "://skins/icon_rotate_02_n.png");
    row("clip button", "://skins/cut1.png", "://skins/cut2.png");
    row("back button", "://skins/ret1.png", "://skins/ret2.png");
    row("clip icon", "://skins/icon_trim_n.png", "://skins/icon_trim_s.png");
    row("back icon", "://skins/icon_back_n.png", "://skins/icon_back_s.png");
    row("small dialog button", "://skins/eject_bt_n.png", "://skins/eject_bt_s.png");
    row("check box", "://skins/seting_bt_02_n.png", "://skins/seting_bt_02_s.png");
}

void TestResources::statesLookDifferent()
{
    QFETCH(QString, normal);
    QFETCH(QString, selected);

    const QImage a(normal);
    const QImage b(selected);
    QVERIFY(!a.isNull());
    QVERIFY(!b.isNull());
    QVERIFY(a != b);
}

QTEST_MAIN(TestResources)
#include "test_resources.moc"
