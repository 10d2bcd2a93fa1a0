// SPDX-License-Identifier: GPL-3.0-or-later
// The program without a display, as a service runs it: on the HID stand-in's virtual screen,
// judged by the packets it writes, the lines it logs and what it tells the service manager.

#include "platform/sibling.h"

#include <QtTest>

#include <algorithm>
#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The service manager's end of NOTIFY_SOCKET: a datagram socket at a path or an abstract name.
struct NotifySocket
{
    explicit NotifySocket(const QByteArray& name) : name(name)
    {
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        memcpy(address.sun_path, name.constData(), size_t(name.size()));
        if (name.startsWith('@'))
            address.sun_path[0] = '\0';
        bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address),
                                  socklen_t(offsetof(sockaddr_un, sun_path) + size_t(name.size()))) == 0;
    }
    ~NotifySocket() { ::close(fd); }

    // Every message so far, oldest first.
    const QByteArrayList& messages()
    {
        char buffer[256];
        ssize_t length = 0;
        while ((length = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
            received << QByteArray(buffer, int(length));
        return received;
    }

    const QByteArray name;
    QByteArrayList received;
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    bool bound = false;
};

} // namespace

class TestHeadless : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;
    int instance = 0;

    // Copies still running when a check failed: they and their GetCPUInfo end before the next.
    std::vector<std::unique_ptr<QProcess>> copies;

    QProcess& startCopy(const QProcessEnvironment& environment, const QStringList& arguments)
    {
        copies.push_back(std::make_unique<QProcess>());
        QProcess& copy = *copies.back();
        copy.setProcessEnvironment(environment);
        copy.start(qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/korvo-tft", arguments);
        return copy;
    }

    // SIGTERM, as systemctl stop sends it; true when the copy then ended with 0.
    static bool stopCopy(QProcess& copy)
    {
        return ::kill(pid_t(copy.processId()), SIGTERM) == 0 && copy.waitForFinished(10000) &&
               copy.exitStatus() == QProcess::NormalExit && copy.exitCode() == 0;
    }

    // The packets the stand-in saw, as their first bytes in hex: "0055a3f0..." for frame chunks.
    QStringList packets() const
    {
        QFile log(home->filePath("writes.log"));
        QStringList heads;
        if (log.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : log.readAll().split('\n')) {
                if (!line.isEmpty())
                    heads << QString::fromLatin1(line.split(' ').value(2));
            }
        }
        return heads;
    }

    QProcessEnvironment environment(const QByteArray& notifyName = QByteArray()) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        environment.insert("LD_PRELOAD", KORVO_FAKEHID_LIBRARY);
        environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
        environment.insert("KORVO_FAKEHID_LOG", home->filePath("writes.log"));
        environment.insert("XDG_CONFIG_HOME", home->filePath("config"));
        environment.insert("XDG_DATA_HOME", home->filePath("data"));
        if (!notifyName.isEmpty())
            environment.insert("NOTIFY_SOCKET", QString::fromLatin1(notifyName));
        return environment;
    }

private slots:
    void init()
    {
        home = std::make_unique<QTemporaryDir>();
        QVERIFY(QFile::setPermissions(home->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", home->path().toUtf8());
        const QByteArray suffix =
            "-headless" + QByteArray::number(QCoreApplication::applicationPid()) + "-" + QByteArray::number(++instance);
        qputenv("KORVO_INSTANCE_SUFFIX", suffix);
        qputenv("KORVO_CPUINFO_KEY", "KorvoHeadlessTest" + suffix);
    }

    void cleanup()
    {
        for (auto& copy : copies) {
            if (copy->state() != QProcess::NotRunning)
                stopCopy(*copy);
        }
        copies.clear();
    }

    // No display at all: the stored layout goes out as a whole frame, the manager hears READY=1
    // once it landed or the screen is known to be away, the refresh passes follow without a log
    // line each, a second copy (window or not) says why it ends in one line, and SIGTERM ends it.
    void start_data()
    {
        QTest::addColumn<bool>("absent");
        QTest::addColumn<QByteArray>("socketName");
        QTest::addColumn<bool>("settingsFolderIsFile");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QByteArray>("secondSaid");
        const QByteArray headlessSaid("korvo-tft: Korvo TFT already runs for this user; this copy ends.\n");
        QTest::newRow("screen, socket path, second window")
            << false << QByteArray("notify") << false << "The screen shows the stored layout."
            << QStringList{"-platform", "offscreen"}
            << QByteArray("korvo-tft: Korvo TFT already runs without a window for this user (korvo-tft --headless); "
                          "stop it to use the window.\n");
        QTest::newRow("no screen, abstract socket")
            << true << QByteArray("@korvo-headless-test") << false
            << "No screen took the stored layout; it is given it once one answers." << QStringList{"--headless"}
            << headlessSaid;
        QTest::newRow("settings folder a file")
            << false << QByteArray("notify") << true << "the screen shows the shipped layout."
            << QStringList{"--headless"} << headlessSaid;
    }
    void start()
    {
        QFETCH(bool, absent);
        QFETCH(QByteArray, socketName);
        QFETCH(bool, settingsFolderIsFile);
        QFETCH(QString, said);
        QFETCH(QStringList, second);
        if (!socketName.startsWith('@'))
            socketName = QFile::encodeName(home->filePath(QString::fromLatin1(socketName)));
        else
            socketName += QByteArray::number(QCoreApplication::applicationPid());
        NotifySocket manager(socketName);
        QVERIFY(manager.bound);
        // Nothing can be made there: Config.ini is missing for good.
        if (settingsFolderIsFile)
            QVERIFY(QDir().mkpath(home->filePath("config")) &&
                    QFile(home->filePath("config/Korvo TFT")).open(QIODevice::WriteOnly));
        QProcessEnvironment environment = this->environment(socketName);
        if (absent)
            environment.insert("KORVO_FAKEHID_ABSENT", "1");
        QProcess& headless = startCopy(environment, {"--headless"});
        QTRY_VERIFY_WITH_TIMEOUT(manager.messages().count("READY=1") == 1, 20000);
        QByteArray log;
        QStringList sent = packets();
        // The screen's clock may be set as it is opened, before the frame.
        while (!sent.isEmpty() && sent.first().startsWith("0055a1f2"))
            sent.removeFirst();
        if (absent) {
            QCOMPARE(sent, QStringList());
        } else {
            // The frame's first and last chunks, then its orientation.
            QVERIFY2(sent.value(0).startsWith("0055a3f001") && sent.value(26).startsWith("0055a3f21b") &&
                         sent.value(27).startsWith("0055a1f101"),
                     qPrintable(sent.join(' ')));
            QCOMPARE(sent.filter(QRegularExpression("^0055a3f001")).size(), 1);
            QTRY_VERIFY_WITH_TIMEOUT(packets().filter(QRegularExpression("^0055a2")).size() >= 2, 10000);
            // The worker may start its passes before the program hears that the frame landed.
            QTRY_VERIFY_WITH_TIMEOUT(
                (log += headless.readAllStandardError()).contains("The screen shows the stored layout."), 10000);
            const int updates = packets().size();
            QTRY_VERIFY_WITH_TIMEOUT(packets().size() > updates, 10000);
            QTest::qWait(100);
            // GetCPUInfo shares the output and says once what it cannot read, whenever it starts.
            const QString during = QString::fromUtf8(headless.readAllStandardError());
            QCOMPARE(QString(during).remove(QRegularExpression("GetCPUInfo: [^\n]*\n")), QString());
        }
        QProcess& copy = startCopy(this->environment(), second);
        QVERIFY(copy.waitForFinished(20000));
        QCOMPARE(copy.exitCode(), 1);
        QTEST(copy.readAllStandardError(), "secondSaid");
        QTRY_VERIFY_WITH_TIMEOUT(korvo::platform::siblingRunning(), 20000);
        QVERIFY(stopCopy(headless));
        QCOMPARE(manager.messages().last(), QByteArray("STOPPING=1"));
        QVERIFY(!korvo::platform::siblingRunning());
        log += headless.readAllStandardError();
        QVERIFY2(log.contains(said.toUtf8() + '\n'), log.constData());
        QVERIFY2(!log.contains("\n\n"), log.constData());
        // Debug lines (the devices looked at, the files set up) stay out of the journal.
        QVERIFY2(!log.contains("Manufacturer:") && !log.contains("File copied"), log.constData());
    }

    // korvo-tftctl changes Config.ini: its request over the private socket, or SIGHUP when it
    // could not reach the copy, has the copy read it and send the frame again, turned.
    void reload()
    {
        NotifySocket manager(QFile::encodeName(home->filePath("notify")));
        QVERIFY(manager.bound);
        QProcess& headless = startCopy(environment(manager.name), {"--headless"});
        QTRY_VERIFY_WITH_TIMEOUT(manager.messages().count("READY=1") == 1, 20000);
        for (const bool reachable : {true, false}) {
            const int before = packets().size();
            QProcessEnvironment environment = this->environment();
            if (!reachable)
                environment.insert("KORVO_INSTANCE_SUFFIX", "-elsewhere");
            QProcess tool;
            tool.setProcessEnvironment(environment);
            tool.start(qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/korvo-tftctl",
                       {"set", "orientation", reachable ? "portrait" : "landscape"});
            QVERIFY(tool.waitForFinished(20000));
            QCOMPARE(tool.readAllStandardOutput(),
                     QByteArray(reachable ? "Stored; the running korvo-tft shows it now.\n"
                                          : "Stored; korvo-tft shows it at its next start.\n"));
            if (!reachable)
                QCOMPARE(::kill(pid_t(headless.processId()), SIGHUP), 0);
            QTRY_VERIFY_WITH_TIMEOUT(manager.messages().count("READY=1") == (reachable ? 2 : 3), 20000);
            const QStringList after = packets().mid(before);
            const int frame = int(after.indexOf(QRegularExpression("0055a3f001.*")));
            QVERIFY2(frame >= 0 && after.value(frame + 26).startsWith("0055a3f21b") &&
                         after.value(frame + 27).startsWith(reachable ? "0055a1f102" : "0055a1f101"),
                     qPrintable(after.join(' ')));
        }
        QCOMPARE(manager.messages().count("RELOADING=1"), 2);
        QVERIFY(stopCopy(headless));
    }
};

QTEST_GUILESS_MAIN(TestHeadless)
#include "test_headless.moc"
