// SPDX-License-Identifier: GPL-3.0-or-later
// korvo-tftctl's settings commands, run as a script would run them on a fresh user's settings.

#include <QtTest>

class TestTftctlSettings : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;
    QByteArray out, err;
    int run = 0;

    QString configFile() const { return home->filePath("Korvo TFT/Config.ini"); }

    // Runs one command line; words are split at spaces, "pic.png" names the test's picture.
    int tftctl(const QString& line)
    {
        QStringList arguments = line.split(' ', Qt::SkipEmptyParts);
        for (QString& word : arguments) {
            if (word.endsWith(".png"))
                word = home->filePath(word);
        }
        QProcess process;
        process.start(qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/korvo-tftctl", arguments);
        if (!process.waitForFinished(30000))
            return -1;
        out = process.readAllStandardOutput();
        err = process.readAllStandardError();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    // The slot row of the custom layout's first style, as Config.ini holds it.
    QString slotRow() const
    {
        QSettings settings(configFile(), QSettings::IniFormat);
        QStringList row;
        for (int slot = 0; slot < 5; ++slot)
            row << settings.value(QStringLiteral("CustomShow/0-%1").arg(slot)).toString();
        return row.join(' ');
    }

private slots:
    void init()
    {
        home = std::make_unique<QTemporaryDir>();
        QVERIFY(QFile::setPermissions(home->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"})
            qputenv(name, home->path().toUtf8());
        qputenv("KORVO_INSTANCE_SUFFIX", "-tftctl-settings" + QByteArray::number(++run));
        QImage picture(64, 34, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QVERIFY(picture.save(home->filePath("pic.png")));
    }

    // Commands run in turn (';' between them) on the shipped settings; the last one's exit code
    // and error line, then what `settings` prints and the slots Config.ini holds.
    void store_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("slots");
        const QString shipped = "layout: custom\norientation: landscape\npicture: shipped\n"
                                "figures: cpu-temperature,cpu-load,time\ntext: Hello from Korvo TFT\n";
        QTest::newRow("shipped") << "" << 0 << "" << shipped << "-1 0 3 1 -1";
        QTest::newRow("theme 3 upright") << "set theme 3;set orientation portrait" << 0 << ""
                                         << "layout: theme 3\norientation: portrait\npicture: shipped\n"
                                            "figures: cpu-temperature,cpu-load,time\ntext: Hello from Korvo TFT\n"
                                         << "-1 0 3 1 -1";
        QTest::newRow("theme 5") << "set theme 5" << 1 << "the built-in themes are 1 to 4, not '5'" << shipped
                                 << "-1 0 3 1 -1";
        // Hidden first, then shown in the order given, into the first free slots; the date joins
        // the time's slot. Five in all with time and date as one.
        QTest::newRow("five figures, time and date one")
            << "set theme 2;set figures date,memory-load,time,fan-speed,gpu-temperature,cpu-load" << 0 << ""
            << "layout: custom\norientation: landscape\npicture: shipped\n"
               "figures: cpu-load,memory-load,time,date,fan-speed,gpu-temperature\ntext: Hello from Korvo TFT\n"
            << "2 6 3 1 9";
        QTest::newRow("six figures") << "set figures cpu-temperature,cpu-load,memory-load,time,cpu-power,fan-speed" << 1
                                     << "at most 5 figures are shown, time and date counting as one" << shipped
                                     << "-1 0 3 1 -1";
        QTest::newRow("no figures") << "set figures none" << 0 << ""
                                    << "layout: custom\norientation: landscape\npicture: shipped\n"
                                       "figures: none\ntext: Hello from Korvo TFT\n"
                                    << "-1 -1 -1 -1 -1";
        QTest::newRow("unknown figure") << "set figures cpu-load,fan" << 1
                                        << "unknown figure 'fan'; see korvo-tftctl --help" << shipped << "-1 0 3 1 -1";
        QTest::newRow("text of words") << "set theme 4;set text  Rack 7  up" << 0 << ""
                                       << "layout: custom\norientation: landscape\npicture: shipped\n"
                                          "figures: cpu-temperature,cpu-load,time\ntext: Rack 7 up\n"
                                       << "-1 0 3 1 -1";
        QTest::newRow("41 characters upright") << "set orientation portrait;set text " + QString(41, 'x') << 1
                                               << "the text has 41 characters; the screen's row holds at most 40"
                                               << "layout: custom\norientation: portrait\npicture: shipped\n"
                                                  "figures: cpu-temperature,cpu-load,time\ntext: Hello from Korvo TFT\n"
                                               << "-1 0 3 1 -1";
        QTest::newRow("picture, then none")
            << "set theme 1;set picture pic.png;set picture none" << 0 << "" << shipped << "-1 0 3 1 -1";
        QTest::newRow("missing picture") << "set picture gone.png" << 4 << "cannot read the picture " << shipped
                                         << "-1 0 3 1 -1";
        QTest::newRow("unknown setting") << "set colour red" << 1
                                         << "cannot read 'set colour red'; see korvo-tftctl --help" << shipped
                                         << "-1 0 3 1 -1";
    }
    void store()
    {
        QFETCH(QString, lines);
        QFETCH(QString, error);
        QFETCH(QString, shown);
        int code = 0;
        for (const QString& line : lines.split(';', Qt::SkipEmptyParts))
            code = tftctl(line);
        QTEST(code, "code");
        QVERIFY2(err.startsWith(error.isEmpty() ? "" : "korvo-tftctl: " + error.toUtf8()), err.constData());
        QCOMPARE(err.count('\n'), error.isEmpty() ? 0 : 1);
        // No copy runs here to be asked.
        if (!lines.isEmpty())
            QCOMPARE(out, QByteArray(code ? "" : "Stored; korvo-tft shows it at its next start.\n"));
        QCOMPARE(tftctl("settings"), 0);
        QCOMPARE(QString::fromUtf8(out), shown.replace("HOME", home->path()));
        QTEST(slotRow(), "slots");
    }

    // Settings that cannot be written are not reported as stored.
    void readOnly()
    {
        QCOMPARE(tftctl("settings"), 0);
        QVERIFY(QFile::setPermissions(configFile(), QFile::ReadOwner));
        QCOMPARE(tftctl("set theme 2"), 5);
        QCOMPARE(err, QByteArray("korvo-tftctl: the settings could not be stored\n"));
        QCOMPARE(out, QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestTftctlSettings)
#include "test_tftctl_settings.moc"
