#include <QtTest>

// Runs the built korvo-tftctl against its virtual screen, as a script would.
class TestTftctl : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    QString path(const QString& name) const { return folder.filePath(name); }

    void savePicture(const QString& name, int width, int height, const QList<QPair<QRect, QRgb>>& blocks)
    {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::black);
        for (const auto& block : blocks)
            for (int y = block.first.top(); y <= block.first.bottom(); ++y)
                for (int x = block.first.left(); x <= block.first.right(); ++x)
                    picture.setPixel(x, y, block.second);
        QVERIFY(picture.save(path(name)));
    }

    struct Run
    {
        int code;
        QByteArray out;
        QByteArray err;
    };

    Run tftctl(const QStringList& arguments)
    {
        QProcess process;
        process.start(qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/korvo-tftctl", arguments);
        process.waitForFinished(30000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        savePicture("halves.png", 640, 340,
                    {{QRect(0, 0, 320, 340), qRgb(255, 0, 0)}, {QRect(320, 0, 320, 340), qRgb(0, 0, 255)}});
        savePicture("upright.png", 170, 320,
                    {{QRect(0, 0, 85, 160), qRgb(255, 0, 0)},
                     {QRect(85, 0, 85, 160), qRgb(0, 255, 0)},
                     {QRect(0, 160, 85, 160), qRgb(0, 0, 255)},
                     {QRect(85, 160, 85, 160), qRgb(255, 255, 255)}});
        savePicture("small.png", 2, 2, {{QRect(0, 0, 2, 2), qRgb(0, 255, 0)}});
        savePicture("large.png", 46, 45, {});
        savePicture("wide.png", 256, 1, {});
    }

    void exitCode_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("error");
        const QString out = path("out.png");
        QTest::newRow("no command") << QStringList{} << 1 << "korvo-tftctl: no command given; usage:";
        QTest::newRow("unknown command") << QStringList{"--virtual", out, "blink"} << 1
                                         << "korvo-tftctl: cannot read the command 'blink'";
        QTest::newRow("orientation sideways") << QStringList{"--virtual", out, "orientation", "sideways"} << 1
                                              << "korvo-tftctl: cannot read the command 'orientation sideways'";
        QTest::newRow("area without numbers") << QStringList{"--virtual", out, "area", path("small.png"), "a", "1"} << 1
                                              << "korvo-tftctl: X and Y must be whole numbers";
        QTest::newRow("fault without virtual")
            << QStringList{"--fault", "absent", "clock"} << 1 << "korvo-tftctl: --fault works only with --virtual";
        QTest::newRow("no screen") << QStringList{"--virtual", out, "--fault", "absent", "image", path("halves.png")}
                                   << 2 << "korvo-tftctl: no TFT Screen found (USB 04d9:fd01)";
        QTest::newRow("no screen to list") << QStringList{"--virtual", out, "--fault", "absent", "list"} << 2
                                           << "korvo-tftctl: no TFT Screen found (USB 04d9:fd01)";
        QTest::newRow("first write fails")
            << QStringList{"--virtual", out, "--fault", "fail-write=1", "image", path("halves.png")} << 3
            << "korvo-tftctl: writing the picture to the TFT Screen failed";
        QTest::newRow("unplugged mid-frame")
            << QStringList{"--virtual", out, "--fault", "unplug-after=5", "image", path("halves.png")} << 3
            << "korvo-tftctl: writing the picture to the TFT Screen failed";
        QTest::newRow("orientation fails after frame")
            << QStringList{"--virtual", out, "--fault", "fail-write=28", "image", path("halves.png")} << 3
            << "korvo-tftctl: writing the orientation and clock to the TFT Screen failed";
        QTest::newRow("clock fails") << QStringList{"--virtual", out, "--fault", "fail-write=1", "clock"} << 3
                                     << "korvo-tftctl: writing the clock to the TFT Screen failed";
        QTest::newRow("missing picture") << QStringList{"--virtual", out, "image", path("none.png")} << 4
                                         << "korvo-tftctl: cannot read the picture";
        QTest::newRow("area of 2070 pixels") << QStringList{"--virtual", out, "area", path("large.png"), "0", "0"} << 4
                                             << "korvo-tftctl: the picture is 46 x 45 pixels";
        QTest::newRow("area 256 wide") << QStringList{"--virtual", out, "area", path("wide.png"), "0", "0"} << 4
                                       << "korvo-tftctl: the picture is 256 x 1 pixels";
        QTest::newRow("area off the edge") << QStringList{"--virtual", out, "area", path("small.png"), "319", "0"} << 4
                                           << "korvo-tftctl: a 2 x 2 area at (319, 0) does not fit";
        QTest::newRow("clock") << QStringList{"--virtual", out, "clock"} << 0 << "";
        QTest::newRow("portrait") << QStringList{"--virtual", out, "orientation", "portrait"} << 0 << "";
    }

    void exitCode()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, error);
        const Run run = tftctl(arguments);
        QCOMPARE(run.code, code);
        if (error.isEmpty()) {
            QCOMPARE(run.err, QByteArray());
        } else {
            QVERIFY2(run.err.startsWith(error.toUtf8()), run.err.constData());
            QCOMPARE(run.err.count('\n'), 1);
        }
    }

    void list()
    {
        const Run run = tftctl({"--virtual", path("out.png"), "list"});
        QCOMPARE(run.code, 0);
        QVERIFY2(run.out.contains("  type:         4d9 fd01\n  path:         virtual:04d9:fd01:1\n"
                                  "  usage:        1 (usage page ffa0)\n"),
                 run.out.constData());
        QCOMPARE(run.out.count("Interface:"), 2);
    }

    void picture_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QRgb>("colour");
        const QStringList landscape{"image", path("halves.png")};
        const QStringList portrait{"image", path("upright.png"), "--portrait"};
        const QStringList area{"area", path("small.png"), "300", "100"};
        QTest::newRow("left half") << landscape << QPoint(10, 10) << qRgb(255, 0, 0);
        QTest::newRow("right half") << landscape << QPoint(310, 160) << qRgb(0, 0, 255);
        // Upright top-left lands bottom-left: the screen is turned a quarter to the left.
        QTest::newRow("upright top left") << portrait << QPoint(20, 150) << qRgb(255, 0, 0);
        QTest::newRow("upright top right") << portrait << QPoint(20, 20) << qRgb(0, 255, 0);
        QTest::newRow("upright bottom left") << portrait << QPoint(300, 150) << qRgb(0, 0, 255);
        QTest::newRow("upright bottom right") << portrait << QPoint(300, 20) << qRgb(255, 255, 255);
        QTest::newRow("area") << area << QPoint(301, 101) << qRgb(0, 255, 0);
        QTest::newRow("beside the area") << area << QPoint(299, 100) << qRgb(0, 0, 0);
    }

    void picture()
    {
        QFETCH(QStringList, command);
        QFETCH(QPoint, at);
        QFETCH(QRgb, colour);
        const QString out = path("picture.png");
        QFile::remove(out);
        QCOMPARE(tftctl(QStringList{"--virtual", out} + command).code, 0);
        const QImage shown(out);
        QCOMPARE(shown.size(), QSize(320, 170));
        QCOMPARE(QColor(shown.pixel(at)), QColor(colour));
    }
};

QTEST_GUILESS_MAIN(TestTftctl)
#include "test_tftctl.moc"
