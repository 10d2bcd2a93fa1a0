// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainwindow.h"

#include "ui_mainwindow.h"

#include "GetCPUInfo/sensors.h"
#include "app/autostart.h"
#include "app/programcore.h"
#include "compose/screensession.h"
#include "config/configstore.h"
#include "editor/colorbar.h"
#include "editor/editbar.h"
#include "editor/selfplaintextedit.h"
#include "editor/zoomwidget.h"
#include "widgets/messageboxes.h"
#include "widgets/picturelist.h"
#include "widgets/presswidgets.h"
#include "widgets/skin.h"
#include "widgets/tavoprocessdialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>

namespace korvo {
namespace {

const char* const LogoPicture = "://skins/logo.png";

// Thumbnails of the four built-in themes by orientation and language. The second theme has no
// text of its own, so one picture serves both languages.
const char* const ThemeThumbnails[2][2][ThemeCount] = {
    {{"://background/default_background_all.png", "://background/scene_background_all.png",
      "://background/TDP_background_all.png", "://background/time_background_all.png"},
     {"://background/default_background_all_en.png", "://background/scene_background_all.png",
      "://background/TDP_background_all_en.png", "://background/time_background_all_en.png"}},
    {{"://background/default_background_all3.png", "://background/scene_background_all3.png",
      "://background/TDP_background_all3.png", "://background/time_background_all3.png"},
     {"://background/default_background_all3_en.png", "://background/scene_background_all3.png",
      "://background/TDP_background_all3_en.png", "://background/time_background_all3_en.png"}},
};

// Unticked boxes in a quieter grey than ticked ones, both legible on the dark plate; the focus
// shows as a teal frame, kept in place (transparent) when the box has none.
const char* const CheckStyle = "QCheckBox{color:#aab0ba;border:1px solid transparent;border-radius:3px;}"
                               "QCheckBox:checked{color:#ffffff;}QCheckBox:focus{border-color:#2ec5ce;}";

const char* const ListStyle = "QListWidget{background:transparent;color:white;}"
                              "QListWidget::item:selected{background:rgba(42,185,203,90);border-radius:6px;}";

// Kinds shown in a custom record, time and date counting once when both are shown.
int shownKinds(const LayoutRecord& record)
{
    int count = 0;
    for (uint8_t shown : record.Show_)
        count += shown == 1 ? 1 : 0;
    if (record.Show_[Time] == 1 && record.Show_[Date] == 1)
        --count;
    return count;
}

void skin(TavoPushButton* button, const char* normal, const char* hover, const char* pressed)
{
    button->setPictures(QString::fromLatin1(normal), QString::fromLatin1(hover), QString::fromLatin1(pressed));
}

// A figure this machine cannot give says why where it is ticked; the figures it cannot give are
// returned. The sensors are looked at each time the page is set up, so one that appears later (a
// driver loaded) stops being explained.
metrics::FigureSet explainMissingFigures(const std::array<QCheckBox*, ElementKindCount>& checks)
{
    using sensors::Figure;
    const std::array<QString, sensors::FigureCount> missing =
        sensors::missingFigures(sensors::SensorRoots::fromEnvironment());
    const std::pair<int, Figure> measured[] = {{CpuTemperature, Figure::CpuTemperature},
                                               {CpuLoad, Figure::CpuLoad},
                                               {CpuPower, Figure::CpuPower},
                                               {FanSpeed, Figure::FanSpeed},
                                               {GpuTemperature, Figure::GpuTemperature},
                                               {GpuLoad, Figure::GpuLoad}};
    metrics::FigureSet unavailable;
    for (const auto& [kind, figure] : measured) {
        checks[size_t(kind)]->setToolTip(missing[size_t(figure)]);
        unavailable[size_t(kind)] = !missing[size_t(figure)].isEmpty();
    }
    return unavailable;
}
} // namespace

MainWindow::MainWindow(ProgramCore& program, QWidget* parent)
    : QMainWindow(parent), program_(program), ui_(std::make_unique<Ui::MainWindow>())
{
    ui_->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(size());
    // Nothing to resize: no grip in the corner.
    ui_->statusbar->setSizeGripEnabled(false);
    ui_->statusbar->hide();

    ZoomWidget* zoom = ui_->zoomwidget;
    // Built late, perhaps long after the start: the controls follow what is committed now, and
    // the preview what the screen shows.
    profile_ = document().profile();
    zoom->model().startFrom(document());
    shownAsMissing_ = program_.figuresShownUnavailable();
    connect(&session(), &compose::ScreenSession::applyFinished, this, &MainWindow::applyFinished);
    connect(&session(), &compose::ScreenSession::applyFinished, this, &MainWindow::showApplyResult);
    connect(&session(), &compose::ScreenSession::figuresUnavailable, this,
            [this](const metrics::FigureSet& unavailable) {
                shownAsMissing_ = unavailable;
                previewUnavailableFigures();
            });

    setUpControls();
    ui_->afterlabel->hide();
    ui_->pushButton->hide();
    profile_.Style = 0;
    syncControls();
    zoom->setEnglishInterface(englishInterface());
    zoom->LoadLayout(profile_, true);

    setWindowTitle(tr("副屏设置"));
    setWindowIcon(QIcon(QString::fromLatin1(LogoPicture)));
    setUpKeyboard();
}

MainWindow::~MainWindow() = default;

bool MainWindow::englishInterface() const
{
    return program_.englishInterface();
}

const ScreenDocument& MainWindow::document() const
{
    return program_.document();
}

compose::ScreenSession& MainWindow::session() const
{
    return program_.session();
}

ZoomWidget* MainWindow::editor() const
{
    return ui_->zoomwidget;
}

void MainWindow::setUpControls()
{
    ZoomWidget* zoom = ui_->zoomwidget;
    editBar_ = new EditBar(this);
    editBar_->move(48, 58);
    editBar_->hide();
    colorBar_ = new ColorBar(this);
    colorBar_->move(60, 82);
    colorBar_->hide();
    connect(editBar_, &EditBar::SendEdit, this, &MainWindow::slotEdit);
    connect(editBar_, &EditBar::SendImageReset, this, &MainWindow::slotReset);
    connect(editBar_, &EditBar::SendFontSize, this, &MainWindow::slotFontSize);
    connect(editBar_, &EditBar::ShowColorbarSignal, this, &MainWindow::slotShowColorbar);
    connect(editBar_, &EditBar::SizeClicked, this, &MainWindow::slotSizeClick);
    connect(colorBar_, &ColorBar::SendFontColor, editBar_, &EditBar::ControlLabelColor);
    connect(colorBar_, &ColorBar::SendFontColor, this, &MainWindow::slotFontColor);
    connect(zoom, &ZoomWidget::HideColorWin, this, [this](int iShow) { slotShowColorbar(quint8(iShow)); });
    connect(zoom, &ZoomWidget::UndoColorSignal, editBar_,
            [this](int iColor) { editBar_->ControlLabelColor(quint8(iColor)); });
    connect(zoom, &ZoomWidget::UndoTextSize, editBar_, &EditBar::slotSetFontSize);
    connect(zoom, &ZoomWidget::HideRemote, this, [this](int iHide) { SetRemoteHide(quint8(iHide)); });

    background_ = loadSkin(QStringLiteral("://skins/background_01.png"));
    settingsPlate_ = loadSkin(QStringLiteral("://skins/seting_bk.png"));

    skin(ui_->btnMini, "://skins/mini_n.png", "://skins/mini_n.png", "://skins/mini_n.png");
    skin(ui_->btnExit, "://skins/close_n.png", "://skins/close_n.png", "://skins/close_n.png");
    for (TavoPushButton* page : {ui_->btnTheme, ui_->btnImage, ui_->selFolder})
        skin(page, "://skins/button_01_n.png", "://skins/button_01_s.png", "://skins/button_01_s.png");
    ui_->btnTheme->setIcons(QStringLiteral("://skins/icon_01_n.png"), QStringLiteral("://skins/icon_01_s.png"));
    ui_->btnImage->setIcons(QStringLiteral("://skins/icon_02_n.png"), QStringLiteral("://skins/icon_02_s.png"));
    ui_->btnTheme->setToggleMode(true);
    ui_->btnImage->setToggleMode(true);
    ui_->btnTheme->setText(tr("主题"));
    ui_->btnImage->setText(tr("自定义"));
    for (TavoPushButton* action : {ui_->btnEdit, ui_->btnApply, ui_->btnEdit_cancel})
        skin(action, "://skins/button_02_n.png", "://skins/button_02_s.png", "://skins/button_02_s.png");
    ui_->btnEdit->setText(tr("编辑"));
    ui_->btnApply->setText(tr("应用"));
    ui_->btnEdit_cancel->setText(tr("取消"));
    ui_->btnEdit_cancel->hide();
    for (TavoPushButton* button : {ui_->btnMini, ui_->btnExit, ui_->btnTheme, ui_->btnImage, ui_->selFolder,
                                   ui_->btnRemote, ui_->btnEdit, ui_->btnApply, ui_->btnEdit_cancel})
        connect(button, &QPushButton::clicked, this, &MainWindow::btn_clicked);

    checks_ = {ui_->check1, ui_->check2, ui_->check3, ui_->check4,  ui_->check5, ui_->check6,
               ui_->check7, ui_->check8, ui_->check9, ui_->check10, ui_->check11};
    for (QCheckBox* check : checks_) {
        connect(check, &QCheckBox::clicked, this, &MainWindow::checkbox_clicked);
        check->setStyleSheet(check->styleSheet() + QLatin1String(CheckStyle));
    }
    // Kept at no size for the kinds without a box of their own: the keyboard must not land there.
    for (QWidget* unseen : {static_cast<QWidget*>(ui_->check8), static_cast<QWidget*>(ui_->check9),
                            static_cast<QWidget*>(ui_->selFolder), static_cast<QWidget*>(ui_->pushButton)})
        unseen->setFocusPolicy(Qt::NoFocus);

    applyResult_ = new QLabel(this);
    applyResult_->setObjectName(QStringLiteral("applyResult"));
    applyResult_->setGeometry(48, 497, 435, 22);
    applyResult_->setAlignment(Qt::AlignCenter);
    applyResult_->setStyleSheet(QStringLiteral("color:#dee2e8;"));
    applyResult_->hide();

    startAtLogin_ = new QCheckBox(tr("登录时启动"), this);
    startAtLogin_->setObjectName(QStringLiteral("startAtLogin"));
    startAtLogin_->setGeometry(48, 540, 300, 24);
    startAtLogin_->setFont(ui_->check1->font());
    startAtLogin_->setStyleSheet(ui_->check1->styleSheet());
    startAtLogin_->setChecked(autostart::enabled());
    connect(startAtLogin_, &QCheckBox::toggled, &program_, &ProgramCore::setStartAtLogin);
    connect(&program_, &ProgramCore::startAtLoginChanged, startAtLogin_, [this](bool on) {
        const QSignalBlocker blocker(startAtLogin_);
        startAtLogin_->setChecked(on);
    });

    themeList_ = new QListWidget(this);
    themeList_->setGeometry(505, 103, 431, 455);
    themeList_->setViewMode(QListView::IconMode);
    themeList_->setIconSize(QSize(170, 90));
    themeList_->setSpacing(10);
    themeList_->setResizeMode(QListView::Adjust);
    themeList_->setMovement(QListView::Static);
    themeList_->setFrameShape(QFrame::NoFrame);
    themeList_->setStyleSheet(QString::fromLatin1(ListStyle));
    themeList_->hide();
    connect(themeList_, &QListWidget::clicked, this, &MainWindow::itemClicked);
    fillThemeList();

    pictures_ = new PictureList(this, [this] {
        const LayoutRecord& custom = profile_.custom[profile_.Style == 1 ? 1 : 0];
        return custom.StringPixmap.isEmpty() ? custom.StringD1 : custom.StringPixmap;
    });
    connect(pictures_, &PictureList::backgroundChosen, zoom, &ZoomWidget::SetBackgroundPicture);
    pictures_->fill();

    // One style only; the list is kept, at no size, for the style the layout is stored under.
    styleList_ = new QListWidget(this);
    styleList_->setGeometry(0, 0, 0, 0);
    styleList_->addItem(new QListWidgetItem(QIcon(QStringLiteral("://background/whole.png")), tr("默认风格")));
}

void MainWindow::setUpKeyboard()
{
    const std::pair<QWidget*, QString> named[] = {
        {ui_->btnMini, tr("隐藏到通知区域")},
        {ui_->btnExit, tr("退出")},
        {ui_->btnRemote, tr("旋转：横屏或竖屏")},
    };
    for (const auto& [button, text] : named) {
        button->setToolTip(text);
        button->setAccessibleName(text);
    }
    // Reading order: the pages, what the page offers, the preview's buttons, then the window's own.
    QList<QWidget*> order{ui_->btnTheme, ui_->btnImage, themeList_};
    for (int index : {0, 3, 6, 1, 4, 9, 2, 5, 10})
        order << checks_[size_t(index)];
    // The colours pop up under the edit bar's colour indicator: while open, they come right after it.
    QList<QWidget*> editBar = editBar_->focusChain();
    order << pictures_->widget() << ui_->btnRemote << editBar.takeFirst() << colorBar_->focusChain() << editBar
          << ui_->btnEdit << ui_->btnEdit_cancel << ui_->btnApply << startAtLogin_ << ui_->btnMini << ui_->btnExit;
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void MainWindow::setPage(int mode)
{
    page_ = mode == 1 ? 1 : 0;
    const bool custom = page_ == 1;
    ui_->btnTheme->setButtonChecked(!custom);
    ui_->btnImage->setButtonChecked(custom);
    themeList_->setVisible(!custom);
    for (QWidget* widget : {static_cast<QWidget*>(ui_->labelSelFolder), static_cast<QWidget*>(ui_->selFolder),
                            static_cast<QWidget*>(pictures_->widget()), static_cast<QWidget*>(styleList_),
                            static_cast<QWidget*>(ui_->label_5), static_cast<QWidget*>(ui_->label_6)})
        widget->setVisible(custom);
    // The theme list covers the element boxes; they belong to the custom page only.
    for (QCheckBox* check : checks_)
        check->setVisible(custom);
    ui_->btnEdit->setVisible(custom && !editing_);
    ui_->btnApply->move(custom ? QPoint(285, 451) : QPoint(210, 451));
    update();
}

void MainWindow::placeEditor()
{
    const bool portrait = profile_.isPortrait();
    ui_->zoomwidget->setGeometry(portrait ? QRect(53, 113, 425, 322) : QRect(48, 118, 435, 312));
    ui_->btnRemote->move(portrait ? QPoint(385, 285) : QPoint(390, 280));
    if (portrait)
        skin(ui_->btnRemote, "://skins/icon_rotate_02_n.png", "://skins/icon_rotate_02_s.png",
             "://skins/icon_rotate_02_s.png");
    else
        skin(ui_->btnRemote, "://skins/icon_rotate_01_n.png", "://skins/icon_rotate_01_s.png",
             "://skins/icon_rotate_01_s.png");
}

void MainWindow::syncControls()
{
    setPage(profile_.Mode);
    themeList_->setCurrentRow(profile_.ThemeID);
    styleList_->setCurrentRow(profile_.Style);
    placeEditor();
    if (profile_.isCustom()) {
        // The window keeps the five-slot style; the single-slot style has no control here.
        const LayoutRecord& custom = profile_.custom[0];
        for (int kind = 0; kind < ElementKindCount; ++kind)
            checks_[size_t(kind)]->setChecked(custom.Show_[size_t(kind)] == 1);
        editBar_->setSwatchGroupVisible(false);
        editBar_->ControlLabelColor(custom.Color);
        editBar_->slotSetFontSize(custom.Size);
    }
    missingFigures_ = explainMissingFigures(checks_);
    previewUnavailableFigures();
    for (int kind = 0; kind < ElementKindCount; ++kind)
        checks_[size_t(kind)]->setEnabled(kind != SecondString);
}

void MainWindow::previewUnavailableFigures()
{
    ui_->zoomwidget->setUnavailableFigures(missingFigures_ | shownAsMissing_);
}

void MainWindow::fillThemeList()
{
    const int hor = profile_.isPortrait() ? 1 : 0;
    const QString names[ThemeCount] = {tr("主题一"), tr("主题二"), tr("主题三"), tr("主题四")};
    themeList_->clear();
    for (int theme = 0; theme < ThemeCount; ++theme) {
        auto* item = new QListWidgetItem(QIcon(QString::fromLatin1(ThemeThumbnails[hor][englishInterface()][theme])),
                                         names[theme]);
        item->setSizeHint(QSize(190, 110));
        themeList_->addItem(item);
    }
    if (!profile_.isCustom())
        themeList_->setCurrentRow(profile_.ThemeID);
}

void MainWindow::showWindow()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::applyStoredSettings()
{
    ZoomWidget* zoom = ui_->zoomwidget;
    StopRefreshThread();
    endEditing();
    program_.document().load();
    profile_ = document().profile();
    zoom->model().startFrom(document());
    profile_.Style = 0;
    fillThemeList();
    syncControls();
    zoom->LoadLayout(profile_, true);
    ui_->btnEdit->setVisible(profile_.isCustom());
    applyWithDialog(0);
    StartRefreshThread();
}

void MainWindow::StartRefreshThread()
{
    session().startRefresh();
}

void MainWindow::StopRefreshThread()
{
    session().stopRefresh();
}

void MainWindow::showAdvice(const QString& advice)
{
    auto* line = new QLabel(advice, this);
    line->setObjectName(QStringLiteral("accessAdvice"));
    line->setWordWrap(true);
    line->setStyleSheet(QStringLiteral("color: #ffcc00; background: rgba(0, 0, 0, 160); padding: 4px;"));
    line->setGeometry(20, height() - 60, width() - 40, 44);
    line->show();
}

bool MainWindow::IfMaxFuncSelected()
{
    return shownKinds(profile_.custom[0]) > 5;
}

void MainWindow::endEditing()
{
    editing_ = false;
    editBar_->hide();
    editBar_->resetClip();
    colorBar_->hide();
    ui_->zoomwidget->SetEditingActive(false);
    ui_->btnEdit_cancel->hide();
    ui_->btnRemote->show();
}

void MainWindow::btn_clicked()
{
    QObject* button = sender();
    ZoomWidget* zoom = ui_->zoomwidget;
    if (button == ui_->btnExit) {
        exitProgram();
    } else if (button == ui_->btnMini) {
        program_.putAway();
    } else if (button == ui_->btnTheme) {
        profile_.Mode = 0;
        zoom->UndoEdit(true);
        endEditing();
        setPage(0);
        ui_->btnEdit->hide();
        zoom->LoadLayout(profile_, false);
        zoom->textEditor()->hide();
    } else if (button == ui_->btnImage) {
        profile_.Mode = 1;
        syncControls();
        zoom->LoadLayout(profile_, false);
    } else if (button == ui_->selFolder) {
        chooseFolder();
    } else if (button == ui_->btnRemote) {
        profile_.Hor = profile_.isPortrait() ? 0 : 1;
        placeEditor();
        fillThemeList();
        if (!profile_.isCustom())
            zoom->LoadLayout(profile_, false);
        else
            zoom->SetOrientation(profile_.Hor);
    } else if (button == ui_->btnEdit) {
        editing_ = true;
        editBar_->show();
        zoom->SetEditingActive(true);
        ui_->btnEdit->hide();
        ui_->btnEdit_cancel->show();
        zoom->update();
    } else if (button == ui_->btnEdit_cancel) {
        if (confirm(tr("放弃修改"), tr("取消后之前的操作将不会保留，是否要取消？"), tr("放弃修改"), tr("继续编辑"))) {
            zoom->UndoEdit(true);
            endEditing();
            ui_->btnEdit->show();
        }
    } else if (button == ui_->btnApply) {
        StopRefreshThread();
        endEditing();
        ui_->btnEdit->setVisible(profile_.isCustom());
        zoom->CommitTextEditor();
        applyWithDialog(program_.timings().applyPauseMs);
        program_.startSibling();
        StartRefreshThread();
    }
}

void MainWindow::checkbox_clicked()
{
    const auto found = std::find(checks_.begin(), checks_.end(), sender());
    if (found == checks_.end())
        return;
    const int kind = int(found - checks_.begin());
    QCheckBox* check = *found;
    LayoutRecord& custom = profile_.custom[0];
    ZoomWidget* zoom = ui_->zoomwidget;
    if (!check->isChecked()) {
        custom.Show_[size_t(kind)] = 0;
        zoom->SetElementShown(kind, 0);
        if (kind == FreeText)
            editBar_->setSwatchGroupVisible(false);
    } else {
        const bool pairsWithShown =
            (kind == Time && custom.Show_[Date] == 1) || (kind == Date && custom.Show_[Time] == 1);
        if (!pairsWithShown && IfMaxFuncSelected()) {
            check->setChecked(false);
            return;
        }
        custom.Show_[size_t(kind)] = 1;
        zoom->SetElementShown(kind, 1);
    }
    zoom->CommitTextEditor();
    editBar_->resetClip();
}

void MainWindow::slotEdit(quint8 iEdit)
{
    ui_->zoomwidget->SetBackgroundEditMode(iEdit != 0);
}

void MainWindow::slotFontColor(quint8 iColor)
{
    ui_->zoomwidget->SetTextColor(iColor);
}

void MainWindow::slotFontSize(quint8 iSize)
{
    ui_->zoomwidget->SetTextSize(iSize);
}

void MainWindow::slotShowColorbar(quint8 iShow)
{
    if (iShow == 1) {
        colorBar_->show();
        colorBar_->raise();
        ui_->zoomwidget->StyleTextEditor();
    } else {
        colorBar_->hide();
        ui_->zoomwidget->textEditor()->hide();
    }
}

void MainWindow::slotReset()
{
    ui_->zoomwidget->UndoEdit(false);
}

void MainWindow::slotSizeClick()
{
    colorBar_->hide();
}

void MainWindow::SetRemoteHide(quint8 iHide)
{
    ui_->btnRemote->setVisible(iHide == 0);
}

void MainWindow::itemClicked(const QModelIndex& index)
{
    if (!index.isValid() || index.row() < 0 || index.row() >= ThemeCount)
        return;
    profile_.ThemeID = uint8_t(index.row());
    syncControls();
    ui_->zoomwidget->LoadLayout(profile_, false);
}

void MainWindow::chooseFolder()
{
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("选择一个目录"), QStringLiteral("./"), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    pictureFolder_ = QDir::fromNativeSeparators(folder);
    // A folder is offered like a picture; it never loads as one, so the list keeps what it has.
    pictures_->addPicture(pictureFolder_);
    pictures_->save();
}

bool MainWindow::confirm(const QString& title, const QString& text, const QString& acceptText,
                         const QString& rejectText)
{
    ExitMessageBox box(2, text, mapToGlobal(QPoint(0, 0)), this, true, Qt::FramelessWindowHint);
    box.setTitle(title);
    box.setAnswers(acceptText, rejectText);
    return box.exec() == QDialog::Accepted;
}

void MainWindow::exitProgram()
{
    showWindow();
    if (!confirm(tr("退出副屏设置"), tr("退出后，副屏上的信息将停止更新。确定要退出吗？"), tr("退出"), tr("取消")))
        return;
    StopRefreshThread();
    exitConfirmed_ = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (exitConfirmed_) {
        event->accept();
        return;
    }
    // Alt+F4 or the task bar's Close: the same question as the window's own close button, asked
    // once this event is over, since a close from inside it would be refused.
    event->ignore();
    QTimer::singleShot(0, this, &MainWindow::exitProgram);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    keepOnScreen();
}

void MainWindow::keepOnScreen()
{
    const QScreen* shownOn = screen();
    if (!shownOn)
        return;
    const QRect room = shownOn->availableGeometry();
    QRect frame = frameGeometry();
    if (room.contains(frame))
        return;
    // The top right corner holds the close button: it goes on the screen first.
    if (frame.right() > room.right())
        frame.moveRight(room.right());
    if (frame.left() < room.left() && frame.width() <= room.width())
        frame.moveLeft(room.left());
    if (frame.bottom() > room.bottom())
        frame.moveBottom(room.bottom());
    if (frame.top() < room.top())
        frame.moveTop(room.top());
    move(frame.topLeft());
}

void MainWindow::showApplyResult(bool sent)
{
    applyResult_->setText(sent ? tr("已发送到副屏") : tr("副屏未连接；布局已保存，插入副屏后会自动发送"));
    applyResult_->show();
}

void MainWindow::applyWithDialog(int pauseMs, bool untilLanded)
{
    ZoomWidget* zoom = ui_->zoomwidget;
    TavoProcessDialog dialog(this);
    connect(&session(), &compose::ScreenSession::applyFinished, &dialog, &TavoProcessDialog::slotProcessDlg);
    if (session().apply(zoom->model().working(), zoom->model().previewBackground(), zoom->size(), pauseMs, untilLanded))
        dialog.exec();
}

void MainWindow::applyFinished(bool landed)
{
    if (!landed)
        return;
    // The controls follow what the screen shows now.
    storeInProfile(profile_, document().committedState());
}

void MainWindow::reportSettingsNotSaved()
{
    if (settingsFailureReported_)
        return;
    settingsFailureReported_ = true;
    // Not modal: the screen keeps being updated, and the next apply does not ask again.
    auto* box = new QMessageBox(QMessageBox::Warning, tr("TFT Screen"),
                                tr("无法保存设置：磁盘已满或设置文件夹不可写。本次的更改在程序退出后将丢失。"),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragOffset_ = event->globalPos() - pos();
    }
    event->accept();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_ && event->buttons() != Qt::NoButton)
        move(event->globalPos() - dragOffset_);
    event->accept();
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    dragging_ = false;
    event->accept();
}

void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPixmap(rect(), background_);
    if (page_ == 1)
        painter.drawPixmap(QRect(514, 133, 413, 112), settingsPlate_);
    painter.setPen(QColor(200, 200, 200));
    painter.drawRoundedRect(QRect(48, 113, 435, 322), 8, 8);
}

} // namespace korvo
