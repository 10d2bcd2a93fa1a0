// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include <sys/stat.h>

// Runs the built korvo-tftctl against its virtual screen, as a script would.
class TestTftctl : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    QByteArray out, err;

    // A picture of equal blocks, colours given row by row.
    void savePicture(const QString& name, int width, int height, int columns, const QVector<QRgb>& colours)
    {
        QImage picture(width, height, QImage::Format_RGB32);
        const int rows = colours.size() / columns;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.setPixel(x, y, colours[y * rows / height * columns + x * columns / width]);
        QVERIFY(picture.save(folder.filePath(name)));
    }

    // A command line against the virtual screen, which is then written to shown.png; pictures
    // are named by file name and found in the folder.
    int tftctl(const QString& line)
    {
        QStringList arguments = ("--virtual shown.png " + line).split(' ', Qt::SkipEmptyParts);
        for (QString& word : arguments) {
            if (word.endsWith(".png"))
                word = folder.filePath(word);
            else if (word == "''")
                word.clear();
        }
        QProcess process;
        process.start(qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/korvo-tftctl", arguments);
        process.waitForFinished(30000);
        out = process.readAllStandardOutput();
        err = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        savePicture("halves.png", 640, 340, 2, {qRgb(255, 0, 0), qRgb(0, 0, 255)});
        savePicture("upright.png", 170, 320, 2,
                    {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)});
        // Qt pads each 6-byte scan line to 8; the screen must not see the padding.
        savePicture("small.png", 3, 2, 1, {qRgb(255, 0, 0), qRgb(0, 0, 255)});
        savePicture("large.png", 46, 45, 1, {qRgb(0, 0, 0)});
        QFile damaged(folder.filePath("damaged.png")); // a 2 x 2 grey PNG whose IDAT checksum is zero
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray::fromHex("89504e470d0a1a0a0000000d494844520000000200000002080000000057dd52f800"
                                          "00000e49444154789c63f8ff9fe1ff7f000bfa03fd000000000000000049454e44ae"
                                          "426082"));
        damaged.close();
        QCOMPARE(mkfifo(QFile::encodeName(folder.filePath("fifo.png")).constData(), 0600), 0);
    }

    // Every failure prints one line on stderr: the tool's name, then the given text.
    void exitCode_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("error");
        QTest::newRow("no command") << "" << 1 << "no command given; usage:";
        QTest::newRow("unknown command") << "blink" << 1 << "cannot read the command 'blink'";
        QTest::newRow("no screen") << "--fault absent image halves.png" << 2 << "no TFT Screen found (USB 04d9:fd01)";
        QTest::newRow("first write fails")
            << "--fault fail-write=1 image halves.png" << 3 << "writing the picture to the TFT Screen failed";
        QTest::newRow("orientation fails after frame") << "--fault fail-write=28 image halves.png" << 3
                                                       << "writing the orientation and clock to the TFT Screen failed";
        QTest::newRow("area of 2070 pixels") << "area large.png 0 0" << 4 << "the picture is 46 x 45 pixels";
        QTest::newRow("area at x 2147483647")
            << "area small.png 2147483647 0" << 4 << "a 3 x 2 area at (2147483647, 0) does not fit";
        QTest::newRow("empty virtual path") << "--virtual '' clock" << 1 << "--virtual needs a value";
        QTest::newRow("damaged PNG, libpng quiet")
            << "image damaged.png" << 4 << "cannot read the picture " + folder.filePath("damaged.png");
        QTest::newRow("FIFO") << "image fifo.png" << 4
                              << "cannot read the picture " + folder.filePath("fifo.png") +
                                     ": it is not a regular file";
        QTest::newRow("clock") << "clock" << 0 << "";
    }

    void exitCode()
    {
        QFETCH(QString, line);
        QFETCH(QString, error);
        QTEST(tftctl(line), "code");
        QVERIFY2(err.startsWith(error.isEmpty() ? "" : "korvo-tftctl: " + error.toUtf8()), err.constData());
        QCOMPARE(err.count('\n'), error.isEmpty() ? 0 : 1);
    }

    void list()
    {
        QCOMPARE(tftctl("list"), 0);
        QVERIFY2(out.contains("  type:         4d9 fd01\n  path:         virtual:04d9:fd01:1\n"
                              "  usage:        1 (usage page ffa0)\n"),
                 out.constData());
        QCOMPARE(out.count("Interface:"), 2);
    }

    void picture_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QRgb>("colour");
        QTest::newRow("left half") << "image halves.png" << QPoint(10, 10) << qRgb(255, 0, 0);
        // Upright top-left lands bottom-left: the screen is turned a quarter to the left.
        QTest::newRow("upright top left") << "image upright.png --portrait" << QPoint(20, 150) << qRgb(255, 0, 0);
        QTest::newRow("upright top right") << "image upright.png --portrait" << QPoint(20, 20) << qRgb(0, 255, 0);
        QTest::newRow("area") << "area small.png 300 100" << QPoint(300, 101) << qRgb(0, 0, 255);
        QTest::newRow("beside the area") << "area small.png 300 100" << QPoint(299, 100) << qRgb(0, 0, 0);
    }

    void picture()
    {
        QFETCH(QString, command);
        QFETCH(QPoint, at);
        QFile::remove(folder.filePath("shown.png"));
        QCOMPARE(tftctl(command), 0);
        const QImage shown(folder.filePath("shown.png"));
        QCOMPARE(shown.size(), QSize(320, 170));
        QTEST(shown.pixel(at), "colour");
    }
};

QTEST_GUILESS_MAIN(TestTftctl)
#include "test_tftctl.moc"
