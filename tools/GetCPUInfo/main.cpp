// GetCPUInfo: measures the CPU temperature, load and power once a second and publishes them in
// the shared memory that the program's refresh loop reads. One copy runs per user; the program
// asks it over a local socket whether it runs ("ping") and to end with the program ("close").

#include "GetCPUInfo/sensors.h"
#include "metrics/cpuinfo.h"
#include "platform/sibling.h"
#include "platform/terminationrequest.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSharedMemory>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>

#include <cstring>

namespace {

constexpr int PublishIntervalMs = 1000;

QString lockFilePath()
{
#ifdef Q_OS_WIN
    QString folder = QDir::tempPath();
#else
    // /tmp is shared by all users; the runtime folder is the user's own.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
#endif
    return folder + QStringLiteral("/GetCPUInfo") + qEnvironmentVariable("KORVO_INSTANCE_SUFFIX") +
           QStringLiteral(".lock");
}

class Publisher
{
public:
    explicit Publisher(QSharedMemory& memory)
        : memory_(memory), sampler_(korvo::sensors::SensorRoots::fromEnvironment())
    {
        clock_.start();
    }

    void publish()
    {
        const korvo::sensors::CpuFigures figures = sampler_.sample(clock_.nsecsElapsed() / 1000);
        const qint32 words[4] = {qToLittleEndian<qint32>(figures.temperature), qToLittleEndian<qint32>(figures.load),
                                 qToLittleEndian<qint32>(figures.power), 0};
        if (!memory_.lock()) {
            if (!lockReported_)
                qWarning("GetCPUInfo: cannot lock the shared memory: %s", qPrintable(memory_.errorString()));
            lockReported_ = true;
            return;
        }
        std::memcpy(memory_.data(), words, sizeof(words));
        memory_.unlock();
    }

private:
    QSharedMemory& memory_;
    korvo::sensors::CpuSampler sampler_;
    QElapsedTimer clock_;
    bool lockReported_ = false;
};

// Answers one line at a time; anything but the two requests is ignored.
void serve(QLocalSocket* socket)
{
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket] {
        while (socket->canReadLine()) {
            const QByteArray request = socket->readLine().trimmed();
            if (request == "ping") {
                socket->write("pong\n");
            } else if (request == "close") {
                socket->write("bye\n");
                socket->flush();
                // Leave the loop once this answer is out; main then detaches the segment.
                QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
            }
        }
    });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);

    QLockFile instanceLock(lockFilePath());
    instanceLock.setStaleLockTime(0); // only a lock whose process is gone is stale
    if (!instanceLock.tryLock(0)) {
        qInfo("GetCPUInfo: another copy is already running.");
        return 0;
    }

    const QString key = korvo::metrics::cpuInfoMemoryKey();
    QSharedMemory memory(key);
    // Attach first: a create that fails on the program's segment would take its lock over and
    // remove it when this copy ends.
    if (!memory.attach(QSharedMemory::ReadWrite) &&
        !memory.create(korvo::metrics::CpuInfoMemorySize, QSharedMemory::ReadWrite)) {
        qWarning("GetCPUInfo: cannot open the shared memory %s: %s", qPrintable(key), qPrintable(memory.errorString()));
        return 1;
    }
    if (memory.size() < int(sizeof(korvo::metrics::CpuInfoBlock))) {
        qWarning("GetCPUInfo: the shared memory %s is too small (%d bytes).", qPrintable(key), memory.size());
        return 1;
    }

    // Holding the lock means any server of that name is a leftover of a copy that died.
    const QString serverName = korvo::platform::siblingServerName();
    QLocalServer::removeServer(serverName);
    QLocalServer server;
    if (!server.listen(serverName)) {
        // Without the socket the program could neither find nor close this copy.
        qWarning("GetCPUInfo: cannot listen on %s: %s", qPrintable(serverName), qPrintable(server.errorString()));
        return 1;
    }
    QObject::connect(&server, &QLocalServer::newConnection, &server, [&server] {
        while (QLocalSocket* socket = server.nextPendingConnection())
            serve(socket);
    });

    Publisher publisher(memory);
    publisher.publish();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &timer, [&publisher] { publisher.publish(); });
    timer.start(PublishIntervalMs);

    // Ended from outside (logout, a kill): leave through the loop, so the segment and the socket go.
    korvo::platform::onTerminationRequest(&app, [] { QCoreApplication::quit(); });
    const int result = app.exec();
    server.close();
    memory.detach();
    return result;
}
