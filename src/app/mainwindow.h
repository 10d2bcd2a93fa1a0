// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/screendocument.h"
#include "config/themeprofile.h"
#include "metrics/figuretexts.h"

#include <QMainWindow>
#include <QModelIndex>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QSystemTrayIcon>
#include <QTranslator>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QListWidget;
class QMenu;
class QTimer;

namespace Ui {
class MainWindow;
}

namespace korvo {

class ColorBar;
class EditBar;
class PictureList;
class ZoomWidget;

namespace compose {
class ScreenSession;
class SiblingSupervisor;
} // namespace compose
namespace platform {
class DeviceNotifier;
class SleepNotifier;
struct DeviceEvent;
} // namespace platform

// The program's window and controller: the two pages (built-in themes, custom layout), the
// editor and its bars, the tray icon, and the screen session that keeps the screen current.
class MainWindow : public QMainWindow
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

    explicit MainWindow(QWidget* parent = nullptr) : MainWindow(Timings{}, parent) {}
    explicit MainWindow(const Timings& timings, QWidget* parent = nullptr);
    ~MainWindow() override;

    bool englishInterface() const { return englishInterface_; }
    const ThemeProfile& profile() const { return profile_; }
    const ScreenDocument& document() const { return document_; }
    ZoomWidget* editor() const;
    compose::ScreenSession& session() const { return *session_; }

    // Shows, raises and activates the window, also out of the minimised state.
    void showWindow();
    // Where the window goes when the user puts it away: the notification area, or the task bar
    // on a desktop that has no notification area.
    void putAway();
    // For trying the program without a screen: the window stays up after the first-use apply,
    // and every start sends the stored layout, since such a screen starts blank.
    void setStaysOpen(bool staysOpen) { staysOpen_ = staysOpen; }
    // How the window learns whether a notification area is there; asked again every second,
    // since at login the panel often comes up after the program.
    void setTrayProbe(std::function<bool()> probe);

    // korvo-tftctl changed the stored settings: they replace what the window shows and go to the
    // screen, as if applied here.
    void applyStoredSettings();

    // Tells the user, once per run, that the settings could not be saved (a full disk, a
    // read-only folder): what they changed is lost when the program ends. Call it whenever a save
    // of the profile or the layout reports failure; the failure itself is in the log.
    void reportSettingsNotSaved();

    void StartRefreshThread();
    void StopRefreshThread();
    void HandleDeviceChange(const platform::DeviceEvent& event);

public slots:
    bool IfMaxFuncSelected();
    void btn_clicked();
    void checkbox_clicked();
    void slotEdit(quint8 iEdit);
    void slotFontColor(quint8 iColor);
    void slotFontSize(quint8 iSize);
    void slotShowColorbar(quint8 iShow);
    void slotReset();
    void itemClicked(const QModelIndex& index);
    void slotCreateThread();
    void slotSizeClick();
    void SetRemoteHide(quint8 iHide);
    // The line under the preview that tells how the last apply went.
    void showApplyResult(bool sent);

signals:
    // The first start's work is done: the first-use apply (when due), the refresh thread and
    // GetCPUInfo are running.
    void started();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool nativeEvent(const QByteArray& eventType, void* message, long* result) override;

private slots:
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void watchTray();
    void setStartAtLogin(bool on);

private:
    void loadTranslation();
    void setUpControls();
    void setUpTray();
    void setPage(int mode);
    void placeEditor();
    void syncControls();
    // The preview shows as "--" what this machine has no sensor for and what the screen shows so.
    void previewUnavailableFigures();
    void fillThemeList();
    void endEditing();
    void chooseFolder();
    void exitProgram();
    // A question over the window whose buttons name the action; true when accepted.
    bool confirm(const QString& title, const QString& text, const QString& acceptText, const QString& rejectText);
    void setUpKeyboard();
    // At a scale where the fixed window is larger than the screen, its close button stays on it.
    void keepOnScreen();
    // Shows the wait dialog over the window while the session applies the working layout.
    void applyWithDialog(int pauseMs, bool untilLanded = false);
    void applyFinished(bool landed);
    void startSibling();
    void finishStart();
    // Once: tells the user why the screen stays dark when it may not be opened.
    void adviseOnAccess();

    std::unique_ptr<Ui::MainWindow> ui_;
    QTranslator translator_;
    QTranslator qtTranslator_;
    bool englishInterface_ = false;
    EditBar* editBar_ = nullptr;
    ColorBar* colorBar_ = nullptr;
    QPixmap background_;
    QPixmap settingsPlate_;
    std::array<QCheckBox*, ElementKindCount> checks_{};
    int page_ = 0;
    QListWidget* themeList_ = nullptr;
    PictureList* pictures_ = nullptr;
    QListWidget* styleList_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* startAtLoginAction_ = nullptr;
    QCheckBox* startAtLogin_ = nullptr;
    QLabel* applyResult_ = nullptr;
    QSystemTrayIcon* trayIcon_ = nullptr;
    std::function<bool()> trayProbe_;
    QTimer* trayWatch_ = nullptr;
    bool trayAvailable_ = false;
    metrics::FigureSet missingFigures_; // no sensor found when the page was set up
    metrics::FigureSet shownAsMissing_; // as the screen's last pass showed them
    bool exitConfirmed_ = false;
    bool staysOpen_ = false;
    bool accessAdvised_ = false;
    bool dragging_ = false;
    QPoint dragOffset_;
    platform::DeviceNotifier* deviceNotifier_ = nullptr;
    platform::SleepNotifier* sleepNotifier_ = nullptr;
    QString pictureFolder_;
    ScreenDocument document_;
    // The controls' profile: the document's, with what the user changed since the last apply.
    ThemeProfile profile_;
    bool firstFramePending_ = false;
    bool editing_ = false;
    compose::ScreenSession* session_ = nullptr;
    compose::SiblingSupervisor* sibling_ = nullptr;
    bool settingsFailureReported_ = false;
    Timings timings_;
};

} // namespace korvo
