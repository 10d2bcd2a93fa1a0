// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/screendocument.h"

#include <QObject>
#include <QWidget>

#include <memory>

namespace korvo {

namespace compose {
class ScreenSession;
class SiblingSupervisor;
} // namespace compose
namespace platform {
class DeviceNotifier;
class SleepNotifier;
struct DeviceEvent;
} // namespace platform

// What keeps the screen current, the same with a window and without one: the stored settings,
// the session (and through it the screen worker), hot-plug and sleep, and the supervised
// GetCPUInfo. GUI thread.
class ScreenCore : public QObject
{
public:
    explicit ScreenCore(QObject* parent = nullptr);
    // The session ends before the document it reads; our GetCPUInfo is asked to close.
    ~ScreenCore() override;

    ScreenDocument& document() { return document_; }
    const ScreenDocument& document() const { return document_; }
    compose::ScreenSession& session() { return *session_; }
    platform::DeviceNotifier& devices() { return *deviceNotifier_; }

    // Watches sleep and hot-plug, then opens the screen: a sleep announced while the program
    // starts stops its first writes too. `window` receives the device messages on Windows.
    void start(WId window);
    // Starts GetCPUInfo under supervision, unless a copy left by an earlier run, or started by
    // hand, serves already; only ours is supervised.
    void startSibling();
    // The stored layout as a whole frame, tried again until it lands, however long the screen
    // stays away: for a copy that has no editor to take the layout from.
    void sendStoredLayout();
    void deviceChanged(const platform::DeviceEvent& event);
    // Windows' device and power messages, from the window that start() was given.
    void nativeEvent(const QByteArray& eventType, void* message);

private:
    ScreenDocument document_;
    std::unique_ptr<compose::ScreenSession> session_;
    compose::SiblingSupervisor* sibling_ = nullptr;
    platform::DeviceNotifier* deviceNotifier_ = nullptr;
    platform::SleepNotifier* sleepNotifier_ = nullptr;
};

// Chinese on a Chinese system, English everywhere else: the interface's texts, the built-in themes'
// pictures and the labels on the screen all follow it.
bool chineseInterface();

} // namespace korvo
