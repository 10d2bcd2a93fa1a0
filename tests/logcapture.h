// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QtGlobal>

// Collects the debug output while it lives.
class LogCapture
{
public:
    LogCapture()
        : previous(qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) { lines << m; }))
    {
        lines.clear();
    }
    ~LogCapture() { qInstallMessageHandler(previous); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    static inline QStringList lines;

private:
    QtMessageHandler previous;
};
