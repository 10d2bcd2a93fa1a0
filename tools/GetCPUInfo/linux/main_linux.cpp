// GetCPUInfo: measures the CPU temperature, load and power, the fan speed and the GPU's
// temperature and load once a second and publishes them in the shared memory that the program's
// refresh loop reads. One copy runs per user; the program asks it over a local socket whether it
// runs ("ping") and to end with the program ("close").

#include "GetCPUInfo/locallistener.h"
#include "GetCPUInfo/sensors.h"
#include "metrics/cpuinfo.h"
#include "platform/runtimefolder.h"
#include "platform/sibling.h"
#include "platform/terminationrequest.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QLockFile>
#include <QSharedMemory>
#include <QTimer>
#include <QtEndian>

#include <cstring>
#include <utility>

namespace {

constexpr int PublishIntervalMs = 1000;
// Requests are "ping" and "close": a longer line is not from the program, and neither is a client
// that lets its answers pile up or stays connected for seconds. Each is dropped, so no client can
// make this process grow or keep the program from getting through.
constexpr qint64 MaxLineBytes = 64;
constexpr qint64 MaxPendingAnswerBytes = 4096;
constexpr int ClientLifetimeMs = 5000;
constexpr int MaxClients = 16;

// Empty when there is no folder private to this user: the lock and the socket are never put
// where another user could hold them or answer in this copy's place.
QString lockFilePath()
{
    const QString folder = korvo::platform::privateRuntimeFolder();
    if (folder.isEmpty())
        return {};
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
        const qint32 words[korvo::metrics::CpuInfoBlockSize / 4] = {qToLittleEndian<qint32>(figures.temperature),
                                                                    qToLittleEndian<qint32>(figures.load),
                                                                    qToLittleEndian<qint32>(figures.power),
                                                                    0,
                                                                    0, // the heartbeat
                                                                    qToLittleEndian<qint32>(figures.fanSpeed),
                                                                    qToLittleEndian<qint32>(figures.gpuTemperature),
                                                                    qToLittleEndian<qint32>(figures.gpuLoad)};
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

void drop(QLocalSocket* socket)
{
    socket->abort();
    socket->deleteLater();
}

// Answers one line at a time; anything but the two requests is ignored.
void serve(QLocalSocket* socket)
{
    socket->setReadBufferSize(MaxLineBytes);
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(ClientLifetimeMs, socket, [socket] { drop(socket); });
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
        // A full buffer without a line end is a line that is too long; Qt reads no further.
        if (socket->bytesAvailable() >= MaxLineBytes || socket->bytesToWrite() > MaxPendingAnswerBytes)
            drop(socket);
    });
}

// Serves the program's requests, a bounded number of clients at a time.
class Listener
{
public:
    explicit Listener(QString name) : name_(std::move(name))
    {
        QObject::connect(&listener_, &korvo::sensors::LocalListener::accepted, &listener_,
                         [this](QLocalSocket* socket) {
                             if (clients_ >= MaxClients) {
                                 drop(socket);
                                 return;
                             }
                             ++clients_;
                             QObject::connect(socket, &QObject::destroyed, &listener_, [this] { --clients_; });
                             serve(socket);
                         });
    }

    bool listen()
    {
        if (listener_.listen(name_))
            return true;
        qWarning("GetCPUInfo: cannot listen on %s: %s", qPrintable(name_), qPrintable(listener_.errorString()));
        return false;
    }

    void close() { listener_.close(); }

private:
    QString name_;
    korvo::sensors::LocalListener listener_;
    int clients_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);

    const QString lockPath = lockFilePath();
    if (lockPath.isEmpty()) {
        qWarning("GetCPUInfo: no folder private to this user for the lock and the socket; not starting.");
        return 1;
    }
    QLockFile instanceLock(lockPath);
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
    if (memory.size() < korvo::metrics::CpuInfoBlockSize) {
        qWarning("GetCPUInfo: the shared memory %s is too small (%d bytes).", qPrintable(key), memory.size());
        return 1;
    }

    // Holding the lock means any server of that name is a leftover of a copy that died.
    Listener listener(korvo::platform::siblingServerName());
    if (!listener.listen())
        return 1; // without the socket the program could neither find nor close this copy

    Publisher publisher(memory);
    publisher.publish();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &timer, [&publisher] { publisher.publish(); });
    timer.start(PublishIntervalMs);

    // Ended from outside (logout, a kill): leave through the loop, so the segment and the socket go.
    korvo::platform::onTerminationRequest(&app, [] { QCoreApplication::quit(); });
    const int result = app.exec();
    listener.close();
    memory.detach();
    return result;
}
