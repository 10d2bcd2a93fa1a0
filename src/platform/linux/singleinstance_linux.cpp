// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/instancelock.h"
#include "platform/runtimefolder.h"
#include "platform/singleinstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include <unistd.h>

namespace korvo::platform {
namespace {

// "show\n" and "apply\n" are all anyone of ours sends; anything longer is not from us.
constexpr qint64 MaxRequestBytes = 16;
// A client that has not sent its line by then is dropped, so a silent one cannot stay.
constexpr int ClientTimeoutMs = 2000;
// Clients being read at once; more are turned away until those have gone.
constexpr int MaxClients = 8;
// The second start waits at most this long in all before it gives up and exits.
constexpr int DeliveryTimeoutMs = 1000;

QString baseName()
{
    return QStringLiteral("korvo-tft") + qEnvironmentVariable("KORVO_INSTANCE_SUFFIX");
}

QString socketPath(const QString& folder)
{
    return folder + QLatin1Char('/') + baseName() + QStringLiteral(".socket");
}

// Whether a running copy takes connections at path; it drops a client that sends nothing.
bool copyListens(const QString& path)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    const bool listening = socket.waitForConnected(DeliveryTimeoutMs);
    socket.abort();
    return listening;
}

} // namespace

struct SingleInstance::Private
{
    std::unique_ptr<InstanceLock> lock;
    std::unique_ptr<QLocalServer> server;
    bool acquired = false;
    bool headless = false;
};

SingleInstance::SingleInstance(QObject* parent) : QObject(parent), d(std::make_unique<Private>()) {}

SingleInstance::~SingleInstance()
{
    // The socket goes before the lock: once the lock is free a new copy may put its own socket
    // in the same place, and closing ours afterwards would remove that one.
    if (d->server)
        d->server->close();
    d->server.reset();
    d->lock.reset();
}

bool SingleInstance::acquire()
{
    if (d->acquired)
        return true;
    const QString folder = privateRuntimeFolder();
    if (folder.isEmpty()) {
        qWarning("Single instance: starting without a guard");
        d->acquired = true;
        return true;
    }
    const QString lockPath = folder + QLatin1Char('/') + baseName() + QStringLiteral(".lock");
    const QString path = socketPath(folder);
    auto lock = std::make_unique<InstanceLock>(lockPath);
    switch (lock->tryLock([&path] { return copyListens(path); })) {
    case InstanceLock::Result::HeldByAnother:
        return false;
    case InstanceLock::Result::Failed:
        qWarning("Single instance: cannot lock %s (%s), starting without a guard", qPrintable(lockPath),
                 qPrintable(lock->errorString()));
        d->acquired = true;
        return true;
    case InstanceLock::Result::Acquired:
        break;
    }
    d->lock = std::move(lock);
    d->acquired = true;

    // The lock is ours, so a socket file still there was left by a copy that died.
    if (QFileInfo::exists(path) && !QLocalServer::removeServer(path))
        qWarning("Single instance: cannot remove the old socket %s", qPrintable(path));
    auto server = std::make_unique<QLocalServer>();
    if (!server->listen(path)) {
        qWarning("Single instance: cannot listen on %s: %s", qPrintable(path), qPrintable(server->errorString()));
        return true;
    }
    QLocalServer* raw = server.get();
    connect(raw, &QLocalServer::newConnection, this, [this, raw] {
        while (QLocalSocket* client = raw->nextPendingConnection()) {
            // Clients are children of the server until deleted, dropped ones included.
            if (raw->findChildren<QLocalSocket*>(QString(), Qt::FindDirectChildrenOnly).size() > MaxClients) {
                client->abort();
                client->deleteLater();
                continue;
            }
            // Qt reads no more than this from the socket, however much the client sends.
            client->setReadBufferSize(MaxRequestBytes);
            auto* timer = new QTimer(client);
            timer->setSingleShot(true);
            connect(timer, &QTimer::timeout, client, [client] {
                client->abort();
                client->deleteLater();
            });
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            const auto readRequest = [this, client] {
                if (!client->canReadLine()) {
                    if (client->bytesAvailable() >= MaxRequestBytes) {
                        client->abort();
                        client->deleteLater();
                    }
                    return;
                }
                const QByteArray line = client->readLine(MaxRequestBytes + 1);
                QByteArray answer;
                if (line == "show\n")
                    answer = d->headless ? "headless\n" : "shown\n";
                else if (line == "apply\n")
                    answer = "applying\n";
                if (answer.isEmpty()) {
                    client->abort();
                    client->deleteLater();
                    return;
                }
                // The answer goes out before the socket closes; disconnected() then deletes it.
                client->write(answer);
                client->disconnectFromServer();
                // Last, since a receiver may well destroy this object.
                if (line == "apply\n")
                    emit applyRequested();
                else if (!d->headless)
                    emit showRequested();
            };
            connect(client, &QLocalSocket::readyRead, this, readRequest);
            timer->start(ClientTimeoutMs);
            if (client->bytesAvailable() > 0)
                readRequest();
        }
    });
    d->server = std::move(server);
    return true;
}

void SingleInstance::setHeadless(bool headless)
{
    d->headless = headless;
}

QByteArray SingleInstance::askRunningCopy(const QByteArray& request)
{
    const QString folder = privateRuntimeFolder();
    if (folder.isEmpty())
        return QByteArray();
    const QString path = socketPath(folder);
    const QDeadlineTimer deadline(DeliveryTimeoutMs);
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        if (socket.error() == QLocalSocket::ServerNotFoundError)
            qWarning("Single instance: no running copy listens at %s", qPrintable(path));
        else
            qWarning("Single instance: cannot reach the running copy at %s: %s", qPrintable(path),
                     qPrintable(socket.errorString()));
        return QByteArray();
    }
    const QByteArray line = request + '\n';
    if (socket.write(line) != line.size()) {
        qWarning("Single instance: cannot send to the running copy: %s", qPrintable(socket.errorString()));
        return QByteArray();
    }
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(deadline.remainingTime()))) {
            qWarning("Single instance: the running copy did not take the request: %s",
                     qPrintable(socket.errorString()));
            return QByteArray();
        }
    }
    // The request is delivered; a copy that closes without a word still took it.
    while (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState &&
           socket.waitForReadyRead(int(deadline.remainingTime()))) {
    }
    QByteArray answer = socket.canReadLine() ? socket.readLine(MaxRequestBytes + 1).trimmed() : QByteArray();
    socket.abort();
    return answer.isNull() ? QByteArray("") : answer;
}

} // namespace korvo::platform
