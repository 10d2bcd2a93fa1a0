// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/screencore.h"
#include "metrics/figuretexts.h"

#include <QObject>
#include <QSystemTrayIcon>
#include <QTranslator>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QTimer;

namespace korvo {

class MainWindow;

namespace platform {
struct DeviceEvent;
} // namespace platform

// The desktop program as it runs in the notification area: the screen's core, the tray icon and
// its menu, the language, and the start's work (first-use frame, refresh, GetCPUInfo). The
// window is built the first time it is shown and kept from then on; a start that stays hidden
// never builds it.
class ProgramCore : public QObject
{
    Q_OBJECT

public:
    // The waits of the start and of an apply. They give the window time to paint and the screen
    // time to settle; the virtual screen under test needs neither.
    struct Timings
    {
        int startDelayMs = 500;  // from construction to the start's work
        int firstPaintMs = 1000; // a first start shows the window this long before the screen blanks
        int applyPauseMs = 1000; // before an apply's frame is sent
    };

    ProgramCore() : ProgramCore(Timings{}) {}
    explicit ProgramCore(const Timings& timings, QObject* parent = nullptr);
    ~ProgramCore() override;

    bool englishInterface() const { return screen_.document().committedState().englishInterface; }
    const Timings& timings() const { return timings_; }
    ScreenDocument& document() { return screen_.document(); }
    compose::ScreenSession& session() { return screen_.session(); }
    void deviceChanged(const platform::DeviceEvent& event) { screen_.deviceChanged(event); }

    // The figures the screen shows as unavailable now.
    const metrics::FigureSet& figuresShownUnavailable() const { return shownUnavailable_; }

    // The window, or null while it was never shown.
    MainWindow* window() const { return window_.get(); }
    // The window, built now if it was not yet.
    MainWindow& builtWindow();

    // Shows, raises and activates the window, also out of the minimised state.
    void showWindow();
    // Where the window goes when the user puts it away: the notification area, or the task bar
    // on a desktop that has no notification area.
    void putAway();
    // For trying the program without a screen: the window stays up after the first-use apply,
    // and every start sends the stored layout, since such a screen starts blank.
    void setStaysOpen(bool staysOpen) { staysOpen_ = staysOpen; }
    // How the program learns whether a notification area is there; asked again every second,
    // since at login the panel often comes up after the program.
    void setTrayProbe(std::function<bool()> probe);
    bool trayAvailable() const { return trayAvailable_; }

    // korvo-tftctl changed the stored settings: they replace what the window shows and go to the
    // screen, as if applied there.
    void applyStoredSettings();
    // The exit question over the window; a yes ends the program.
    void exitProgram();
    // Logout, systemctl stop or Ctrl-C: the same orderly stop as a confirmed exit, without asking.
    void stop();
    // Either the tray's entry or the window's box; both show what is stored afterwards.
    void setStartAtLogin(bool on);
    // GetCPUInfo again, after an apply: it may have been ended by hand.
    void startSibling();

signals:
    // The start's work is done: the first-use apply (when due), the refresh and GetCPUInfo are
    // running.
    void started();
    void startAtLoginChanged(bool on);

private:
    void loadTranslation();
    void setUpTray();
    void watchTray();
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void startWork();
    void finishStart();
    void frameFinished(bool landed);
    // Once: tells the user why the screen stays dark when it may not be opened.
    void adviseOnAccess();
    void reportSettingsNotSaved();

    Timings timings_;
    QTranslator translator_;
    QTranslator qtTranslator_;
    ScreenCore screen_;
    std::unique_ptr<QMenu> trayMenu_;
    QAction* startAtLoginAction_ = nullptr;
    QSystemTrayIcon* trayIcon_ = nullptr;
    std::function<bool()> trayProbe_;
    QTimer* trayWatch_ = nullptr;
    bool trayAvailable_ = false;
    bool staysOpen_ = false;
    bool accessAdvised_ = false;
    bool firstFramePending_ = false;
    metrics::FigureSet shownUnavailable_;
#ifdef Q_OS_WIN
    // Hears the device and power messages whether or not the window was ever built.
    std::unique_ptr<QWidget> messageWindow_;
#endif
    std::unique_ptr<MainWindow> window_;
};

} // namespace korvo
