// SPDX-License-Identifier: GPL-3.0-or-later
// GetCPUInfo: measures the CPU temperature, load and power, the fan speed and the GPU's
// temperature and load once a second and publishes them in the shared memory that the program's
// refresh loop reads. One copy runs per user; the program asks it over a local socket whether it
// runs ("ping") and to end with the program ("close").

#include "GetCPUInfo/locallistener.h"
#include "GetCPUInfo/sensors.h"
#include "metrics/cpuinfo.h"
#include "metrics/cpuinfosegment.h"
#include "platform/instancelock.h"
#include "platform/runtimefolder.h"
#include "platform/sibling.h"
#include "platform/terminationrequest.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr int PublishIntervalMs = 1000;
// Requests are "ping" and "close": a longer line is not from the program, and neither is a client
// that lets its answers pile up or stays connected for seconds. Each is dropped, so no client can
// make this process grow or keep the program from getting through.
constexpr qint64 MaxLineBytes = 64;
constexpr qint64 MaxPendingAnswerBytes = 4096;
constexpr int ClientLifetimeMs = 5000;
constexpr size_t MaxClients = 16;
constexpr int SweepIntervalMs = 250;

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
    explicit Publisher(korvo::metrics::CpuInfoSegment& memory)
        : memory_(memory), sampler_(korvo::sensors::SensorRoots::fromEnvironment())
    {
        clock_.start();
    }

    void publish()
    {
        const korvo::sensors::CpuFigures figures = sampler_.sample(clock_.nsecsElapsed() / 1000);
        // The heartbeat moves at every publish, so the program can tell live figures from ours left
        // behind after we stopped.
        memory_.publish(
            korvo::metrics::cpuInfoBytes({figures.temperature, figures.load, figures.power, 0, qint32(++beat_),
                                          figures.fanSpeed, figures.gpuTemperature, figures.gpuLoad}));
    }

private:
    korvo::metrics::CpuInfoSegment& memory_;
    korvo::sensors::CpuSampler sampler_;
    QElapsedTimer clock_;
    quint32 beat_ = 0;
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
        clock_.start();
        QObject::connect(&listener_, &korvo::sensors::LocalListener::accepted, &listener_,
                         [this](QLocalSocket* socket) {
                             clients_.erase(std::remove_if(clients_.begin(), clients_.end(),
                                                           [](const Client& client) { return !client.socket; }),
                                            clients_.end());
                             if (clients_.size() >= MaxClients) {
                                 drop(socket);
                                 return;
                             }
                             clients_.push_back({socket, clock_.elapsed() + ClientLifetimeMs});
                             serve(socket);
                         });
        // One timer for all clients: a timer per client would outlive its client, and a flood
        // of short connections would pile them up.
        QObject::connect(&sweep_, &QTimer::timeout, &listener_, [this] { dropExpired(); });
        sweep_.start(SweepIntervalMs);
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
    struct Client
    {
        QPointer<QLocalSocket> socket;
        qint64 deadline;
    };

    void dropExpired()
    {
        const qint64 now = clock_.elapsed();
        clients_.erase(std::remove_if(clients_.begin(), clients_.end(),
                                      [now](const Client& client) {
                                          if (client.socket && now < client.deadline)
                                              return false;
                                          if (client.socket)
                                              drop(client.socket);
                                          return true;
                                      }),
                       clients_.end());
    }

    QString name_;
    korvo::sensors::LocalListener listener_;
    std::vector<Client> clients_;
    QElapsedTimer clock_;
    QTimer sweep_;
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
    korvo::platform::InstanceLock instanceLock(lockPath);
    switch (instanceLock.tryLock(korvo::platform::siblingRunning)) {
    case korvo::platform::InstanceLock::Result::HeldByAnother:
        qInfo("GetCPUInfo: another copy is already running.");
        return 0;
    case korvo::platform::InstanceLock::Result::Failed:
        qWarning("GetCPUInfo: cannot lock %s: %s", qPrintable(lockPath), qPrintable(instanceLock.errorString()));
        return 1;
    case korvo::platform::InstanceLock::Result::Acquired:
        break;
    }

    korvo::metrics::CpuInfoSegment memory;
    if (!memory.create()) {
        qWarning("GetCPUInfo: cannot open the shared memory %s: %s", qPrintable(korvo::metrics::cpuInfoMemoryKey()),
                 qPrintable(memory.errorString()));
        return 1;
    }

    // Ended from outside (logout, a kill): leave through the loop, so the segment and the socket go.
    // Asked for before the socket appears: whoever sees the socket may end this copy at once.
    korvo::platform::onTerminationRequest(&app, [] { QCoreApplication::quit(); });

    // Holding the lock means any server of that name is a leftover of a copy that died.
    Listener listener(korvo::platform::siblingServerName());
    if (!listener.listen())
        return 1; // without the socket the program could neither find nor close this copy

    Publisher publisher(memory);
    publisher.publish();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &timer, [&publisher] { publisher.publish(); });
    timer.start(PublishIntervalMs);
    const int result = app.exec();
    listener.close();
    memory.remove();
    return result;
}
