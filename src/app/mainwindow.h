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

#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QListWidget;

namespace Ui {
class MainWindow;
}

namespace korvo {

class ColorBar;
class EditBar;
class PictureList;
class ProgramCore;
class ZoomWidget;

namespace compose {
class ScreenSession;
} // namespace compose

// The program's window: the two pages (built-in themes, custom layout), the editor and its bars.
// The program it belongs to keeps the screen current with or without it.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(ProgramCore& program, QWidget* parent = nullptr);
    ~MainWindow() override;

    bool englishInterface() const;
    const ThemeProfile& profile() const { return profile_; }
    const ScreenDocument& document() const;
    ZoomWidget* editor() const;
    compose::ScreenSession& session() const;

    // Shows, raises and activates the window, also out of the minimised state.
    void showWindow();

    // korvo-tftctl changed the stored settings: they replace what the window shows and go to the
    // screen, as if applied here.
    void applyStoredSettings();
    // Shows the wait dialog over the window while the session applies the working layout.
    void applyWithDialog(int pauseMs, bool untilLanded = false);
    // The exit question; a yes stops the refresh and closes the window, which ends the program.
    void exitProgram();
    // A line over the window's foot, for what the user must do when there is no notification
    // area to say it in.
    void showAdvice(const QString& advice);

    // Tells the user, once per run, that the settings could not be saved (a full disk, a
    // read-only folder): what they changed is lost when the program ends. Call it whenever a save
    // of the profile or the layout reports failure; the failure itself is in the log.
    void reportSettingsNotSaved();

    void StartRefreshThread();
    void StopRefreshThread();

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
    void slotSizeClick();
    void SetRemoteHide(quint8 iHide);
    // The line under the preview that tells how the last apply went.
    void showApplyResult(bool sent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setUpControls();
    void setPage(int mode);
    void placeEditor();
    void syncControls();
    // The preview shows as "--" what this machine has no sensor for and what the screen shows so.
    void previewUnavailableFigures();
    void fillThemeList();
    void endEditing();
    void chooseFolder();
    // A question over the window whose buttons name the action; true when accepted.
    bool confirm(const QString& title, const QString& text, const QString& acceptText, const QString& rejectText);
    void setUpKeyboard();
    // At a scale where the fixed window is larger than the screen, its close button stays on it.
    void keepOnScreen();
    void applyFinished(bool landed);

    ProgramCore& program_;
    std::unique_ptr<Ui::MainWindow> ui_;
    EditBar* editBar_ = nullptr;
    ColorBar* colorBar_ = nullptr;
    QPixmap background_;
    QPixmap settingsPlate_;
    std::array<QCheckBox*, ElementKindCount> checks_{};
    int page_ = 0;
    QListWidget* themeList_ = nullptr;
    PictureList* pictures_ = nullptr;
    QListWidget* styleList_ = nullptr;
    QCheckBox* startAtLogin_ = nullptr;
    QLabel* applyResult_ = nullptr;
    metrics::FigureSet missingFigures_; // no sensor found when the page was set up
    metrics::FigureSet shownAsMissing_; // as the screen's last pass showed them
    bool exitConfirmed_ = false;
    bool dragging_ = false;
    QPoint dragOffset_;
    QString pictureFolder_;
    // The controls' profile: the document's, with what the user changed since the last apply.
    ThemeProfile profile_;
    bool editing_ = false;
    bool settingsFailureReported_ = false;
};

} // namespace korvo
