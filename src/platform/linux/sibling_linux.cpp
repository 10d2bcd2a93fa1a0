// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/runtimefolder.h"
#include "platform/sibling.h"

#include <QLocalSocket>

namespace korvo::platform {
namespace {

// GetCPUInfo answers on its own event loop, so a short wait is plenty; the GUI thread must not
// hang on a copy that has stopped answering.
constexpr int AnswerTimeoutMs = 1000;

// Sends one request line and returns the answer line, or an empty array when nobody answered.
QByteArray ask(const QByteArray& request)
{
    QLocalSocket socket;
    socket.connectToServer(siblingServerName());
    if (!socket.waitForConnected(AnswerTimeoutMs))
        return {};
    if (socket.write(request) != request.size() || !socket.waitForBytesWritten(AnswerTimeoutMs)) {
        qWarning("GetCPUInfo did not take the request %s", request.trimmed().constData());
        return {};
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(AnswerTimeoutMs))
            return {};
    }
    return socket.readLine();
}

} // namespace

QString siblingServerName()
{
    const QString name = QStringLiteral("GetCPUInfo") + qEnvironmentVariable("KORVO_INSTANCE_SUFFIX");
    // Without a private folder there is no name: GetCPUInfo refuses to listen, and the program
    // finds none running.
    const QString folder = privateRuntimeFolder();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + name;
}

bool siblingRunning()
{
    return ask("ping\n") == "pong\n";
}

void closeSibling()
{
    if (!siblingRunning())
        return;
    if (ask("close\n") != "bye\n")
        qWarning("GetCPUInfo did not confirm that it closes.");
}

} // namespace korvo::platform
