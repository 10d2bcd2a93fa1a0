// SPDX-License-Identifier: GPL-3.0-or-later
// korvo-tftctl run as a script would run it: its screen commands against its virtual screen, its
// settings commands on a fresh user's settings.
#include "testpictures.h"

#include <QtTest>

namespace {
// What `settings` prints on the shipped settings, then the custom layout's first slot row in Config.ini.
const QString Shipped = "layout: custom\norientation: landscape\npicture: shipped\n"
                        "figures: cpu-temperature,cpu-load,time\ntext: Hello from Korvo TFT\nslots: -1 0 3 1 -1";
} // namespace

class TestTftctl : public QObject
{
    Q_OBJECT

    QTemporaryDir pictures;
    std::unique_ptr<QTemporaryDir> home;
    QByteArray out, err;
    int run = 0;

    QString configFile() const { return home->filePath("Korvo TFT/Config.ini"); }

    // Words split at spaces, '' an empty one, pictures by file name; screen commands' virtual screen is shown.png.
    int tftctl(const QString& line)
    {
        QStringList arguments = line.split(' ', Qt::SkipEmptyParts);
        if (!line.startsWith("set"))
            arguments = QStringList{"--virtual", "shown.png"} + arguments;
        for (QString& word : arguments) {
            if (word.endsWith(".png"))
                word = pictures.filePath(word);
            else if (word == "''")
                word.clear();
        }
        QProcess process;
        process.start(qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/korvo-tftctl", arguments);
        if (!process.waitForFinished(30000))
            return -1;
        out = process.readAllStandardOutput();
        err = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

private slots:
    void initTestCase()
    {
        savePicture(pictures, "halves.png", 640, 340, 2, {qRgb(255, 0, 0), qRgb(0, 0, 255)});
        savePicture(pictures, "upright.png", 170, 320, 2,
                    {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)});
        // Qt pads each 6-byte scan line to 8; the screen must not see the padding.
        savePicture(pictures, "small.png", 3, 2, 1, {qRgb(255, 0, 0), qRgb(0, 0, 255)});
        savePicture(pictures, "large.png", 46, 45, 1, {qRgb(0, 0, 0)});
        // A 2 x 2 grey PNG whose IDAT checksum is zero.
        saveHex(pictures, "damaged.png",
                "89504e470d0a1a0a0000000d494844520000000200000002080000000057dd52f80000000e49444154789c"
                "63f8ff9fe1ff7f000bfa03fd000000000000000049454e44ae426082");
    }

    void init()
    {
        home = std::make_unique<QTemporaryDir>();
        QVERIFY(QFile::setPermissions(home->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"})
            qputenv(name, home->path().toUtf8());
        qputenv("KORVO_INSTANCE_SUFFIX", "-tftctl" + QByteArray::number(++run));
    }

    // Command lines run in turn (';' between them, "read-only" makes Config.ini so); the last one's
    // exit code and its one line on stderr (the tool's name, then the given text), then what
    // `settings` prints and the slots Config.ini holds: the shipped settings but for the given lines.
    void commands_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("changed");
        QTest::newRow("no command") << "" << 1 << "no command given; usage:" << QString();
        QTest::newRow("unknown command") << "blink" << 1 << "cannot read the command 'blink'" << QString();
        QTest::newRow("no screen") << "--fault absent image halves.png" << 2 << "no TFT Screen found (USB 04d9:fd01)"
                                   << QString();
        QTest::newRow("first write fails") << "--fault fail-write=1 image halves.png" << 3
                                           << "writing the picture to the TFT Screen failed" << QString();
        QTest::newRow("orientation fails after frame")
            << "--fault fail-write=28 image halves.png" << 3
            << "writing the orientation and clock to the TFT Screen failed" << QString();
        QTest::newRow("area of 2070 pixels")
            << "area large.png 0 0" << 4 << "the picture is 46 x 45 pixels" << QString();
        QTest::newRow("area at x 2147483647")
            << "area small.png 2147483647 0" << 4 << "a 3 x 2 area at (2147483647, 0) does not fit" << QString();
        QTest::newRow("empty virtual path") << "--virtual '' clock" << 1 << "--virtual needs a value" << QString();
        QTest::newRow("damaged PNG, libpng quiet")
            << "image damaged.png" << 4 << "cannot read the picture " + pictures.filePath("damaged.png") << QString();
        QTest::newRow("theme 3 upright") << "set theme 3;set orientation portrait" << 0 << ""
                                         << "layout: theme 3\norientation: portrait";
        QTest::newRow("theme 5") << "set theme 5" << 1 << "the built-in themes are 1 to 4, not '5'" << QString();
        // Hidden first, then shown in the order given, into the first free slots; the date joins
        // the time's slot. Five in all with time and date as one.
        QTest::newRow("five figures, time and date one")
            << "set theme 2;set figures date,memory-load,time,fan-speed,gpu-temperature,cpu-load" << 0 << ""
            << "figures: cpu-load,memory-load,time,date,fan-speed,gpu-temperature\nslots: 2 6 3 1 9";
        QTest::newRow("six figures") << "set figures cpu-temperature,cpu-load,memory-load,time,cpu-power,fan-speed" << 1
                                     << "at most 5 figures are shown, time and date counting as one" << QString();
        QTest::newRow("no figures") << "set figures none" << 0 << ""
                                    << "figures: none\nslots: -1 -1 -1 -1 -1";
        QTest::newRow("unknown figure") << "set figures cpu-load,fan" << 1
                                        << "unknown figure 'fan'; see korvo-tftctl --help" << QString();
        QTest::newRow("text of words") << "set theme 4;set text  Rack 7  up" << 0 << ""
                                       << "text: Rack 7 up";
        QTest::newRow("41 characters upright") << "set orientation portrait;set text " + QString(41, 'x') << 1
                                               << "the text has 41 characters; the screen's row holds at most 40"
                                               << "orientation: portrait";
        QTest::newRow("picture, then none")
            << "set theme 1;set picture halves.png;set picture none" << 0 << "" << QString();
        QTest::newRow("missing picture") << "set picture gone.png" << 4 << "cannot read the picture " << QString();
        QTest::newRow("Config.ini read-only: not reported as stored")
            << "settings;read-only;set theme 2" << 5 << "the settings could not be stored" << QString();
        QTest::newRow("unknown setting") << "set colour red" << 1
                                         << "cannot read 'set colour red'; see korvo-tftctl --help" << QString();
    }

    void commands()
    {
        QFETCH(QString, lines);
        QFETCH(QString, error);
        QFETCH(QString, changed);
        int code = 0;
        for (const QString& line : lines.split(';')) {
            if (line == "read-only")
                QVERIFY(QFile::setPermissions(configFile(), QFile::ReadOwner));
            else
                code = tftctl(line);
        }
        QTEST(code, "code");
        QVERIFY2(err.startsWith(error.isEmpty() ? "" : "korvo-tftctl: " + error.toUtf8()), err.constData());
        QCOMPARE(err.count('\n'), error.isEmpty() ? 0 : 1);
        // No copy runs here to be asked.
        if (lines.startsWith("set"))
            QCOMPARE(out, QByteArray(code ? "" : "Stored; korvo-tft shows it at its next start.\n"));
        QCOMPARE(tftctl("settings"), 0);
        QStringList expected = Shipped.split('\n');
        for (const QString& line : changed.split('\n', Qt::SkipEmptyParts))
            expected.replaceInStrings(QRegularExpression("^" + line.section(':', 0, 0) + ": .*"), line);
        QSettings ini(configFile(), QSettings::IniFormat);
        QStringList row;
        for (int slot = 0; slot < 5; ++slot)
            row << ini.value(QStringLiteral("CustomShow/0-%1").arg(slot)).toString();
        QCOMPARE(QString::fromUtf8(out) + "slots: " + row.join(' '), expected.join('\n'));
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
        QTest::newRow("area") << "area small.png 300 100" << QPoint(300, 101) << qRgb(0, 0, 255);
        QTest::newRow("beside the area") << "area small.png 300 100" << QPoint(299, 100) << qRgb(0, 0, 0);
    }

    void picture()
    {
        QFETCH(QString, command);
        QFETCH(QPoint, at);
        QFile::remove(pictures.filePath("shown.png"));
        QCOMPARE(tftctl(command), 0);
        const QImage shown(pictures.filePath("shown.png"));
        QCOMPARE(shown.size(), QSize(320, 170));
        QTEST(shown.pixel(at), "colour");
    }
};

QTEST_GUILESS_MAIN(TestTftctl)
#include "test_tftctl.moc"
