// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

namespace korvo::platform {

// Makes sure one copy of the program runs per user. On Windows a named mutex held for the process's
// lifetime; a second start ends silently. On Linux a lock file in the user's runtime folder, plus a
// local socket beside it through which a second start asks the running copy to show its window.
//
// Keep the object alive until the program ends: destroying it gives the guard up.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the first copy for this user. A guard that cannot be set up at all
    // (no usable folder, an unwritable lock) is logged and counts as first, so that the program
    // still starts. Calling it again after success returns true.
    bool acquire();

    // Sends one request to the running copy and returns its one-line answer without the line end:
    // a second start asks it to "show" its window ("shown", or "headless" from a copy without
    // one), korvo-tftctl to "apply" the stored settings ("applying"). Null when no copy took the
    // request; waits at most about a second. Windows: does nothing and returns null.
    static QByteArray askRunningCopy(const QByteArray& request);

    // A copy without a window answers "show" with "headless" and does not emit showRequested.
    void setHeadless(bool headless);

signals:
    // A second start asked for the window (Linux only).
    void showRequested();
    // Someone changed the stored settings and asks for them on the screen (Linux only).
    void applyRequested();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace korvo::platform
