#include <QtTest>

// Runs the built korvo-tftctl, which uses the system's hidapi, with the hidapi stand-in preloaded:
// the tool must find the virtual screen and each write must reach the log.
class TestFakeHid : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

private slots:
    void initTestCase() { QVERIFY(folder.isValid()); }

    void run_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("absent");
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QStringList>("writes"); // length and first bytes, after the time
        QTest::newRow("list") << "list" << false << 0
                              << QByteArray("\nScreen interface 1\n"
                                            "  type:         4d9 fd01\n"
                                            "  path:         virtual:04d9:fd01:1\n"
                                            "  usage:        1 (usage page ffa0)\n")
                              << QStringList();
        QTest::newRow("clock") << "clock" << false << 0 << QByteArray() << QStringList{"4097 0055a1f2[0-9a-f]{6}0000"};
        QTest::newRow("clock, absent") << "clock" << true << 2 << QByteArray() << QStringList();
        QTest::newRow("portrait") << "orientation portrait" << false << 0 << QByteArray()
                                  << QStringList{"4097 0055a1f10200000000"};
    }

    void run()
    {
        QFETCH(QString, command);
        QFETCH(bool, absent);
        QFETCH(int, code);
        QFETCH(QByteArray, output);
        QFETCH(QStringList, writes);
        const QString logPath = folder.filePath(QTest::currentDataTag() + QString(".log"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LD_PRELOAD", KORVO_FAKEHID_LIBRARY);
        environment.insert("KORVO_FAKEHID_LOG", logPath);
        if (absent)
            environment.insert("KORVO_FAKEHID_ABSENT", "1");
        // An AddressSanitizer build wants its runtime loaded first, and a preload comes before it.
        environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        QProcess process;
        process.setProcessEnvironment(environment);
        const qint64 before = QDateTime::currentMSecsSinceEpoch() * 1000000;
        process.start(qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/korvo-tftctl", command.split(' '));
        QVERIFY(process.waitForFinished(30000));
        const qint64 after = (QDateTime::currentMSecsSinceEpoch() + 1) * 1000000;
        QCOMPARE(process.exitCode(), code);
        QVERIFY(process.readAllStandardOutput().contains(output));

        QFile log(logPath);
        const QStringList lines = log.open(QIODevice::ReadOnly) ? QString(log.readAll()).split('\n') : QStringList();
        QCOMPARE(lines.size(), writes.size() + 1); // the last line ends too
        for (int i = 0; i < writes.size(); ++i) {
            const QRegularExpressionMatch match = QRegularExpression("^(\\d+) " + writes[i] + "$").match(lines[i]);
            QVERIFY2(match.hasMatch(), qPrintable(lines[i]));
            QVERIFY(before <= match.captured(1).toLongLong() && match.captured(1).toLongLong() <= after);
        }
    }
};

QTEST_MAIN(TestFakeHid)
#include "test_fakehid.moc"
