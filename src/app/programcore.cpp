// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/programcore.h"

#include "app/autostart.h"
#include "app/mainwindow.h"
#include "compose/screensession.h"
#include "config/configstore.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QMenu>
#include <QTimer>

namespace korvo {
namespace {

const char* const LogoPicture = "://skins/logo.png";

#ifdef Q_OS_WIN
// Never shown: a native window of the program's own for the messages Windows sends to windows.
class MessageWindow : public QWidget
{
public:
    explicit MessageWindow(ScreenCore& core) : core_(core) {}

protected:
    bool nativeEvent(const QByteArray& eventType, void* message, long*) override
    {
        core_.nativeEvent(eventType, message);
        // Qt goes on handling every message.
        return false;
    }

private:
    ScreenCore& core_;
};
#endif

} // namespace

ProgramCore::ProgramCore(const Timings& timings, QObject* parent) : QObject(parent), timings_(timings)
{
    loadTranslation();
    ScreenDocument& document = screen_.document();
    document.load();
    document.setEnglishInterface(!chineseInterface());
    compose::ScreenSession& session = screen_.session();
    connect(&session, &compose::ScreenSession::applyFinished, this, &ProgramCore::frameFinished);
    connect(&session, &compose::ScreenSession::settingsNotSaved, this, &ProgramCore::reportSettingsNotSaved);
    connect(&session, &compose::ScreenSession::accessDenied, this, &ProgramCore::adviseOnAccess);
    // Said after a change only; a window built later starts from it.
    connect(&session, &compose::ScreenSession::figuresUnavailable, this,
            [this](const metrics::FigureSet& unavailable) { shownUnavailable_ = unavailable; });
#ifdef Q_OS_WIN
    messageWindow_ = std::make_unique<MessageWindow>(screen_);
    const WId window = messageWindow_->winId();
#else
    const WId window = 0;
#endif
    screen_.start(window);
    setUpTray();
    QTimer::singleShot(timings_.startDelayMs, this, &ProgramCore::startWork);
}

ProgramCore::~ProgramCore()
{
    // The window reads the document and talks to the session: it goes before them.
    window_.reset();
    // The icon refers to its menu, which is not its child.
    delete trayIcon_;
}

void ProgramCore::loadTranslation()
{
    const bool chinese = chineseInterface();
    const QString file = programDirPath() + (chinese ? QStringLiteral("/lang/sc.qm") : QStringLiteral("/lang/en.qm"));
    if (translator_.load(file))
        QCoreApplication::installTranslator(&translator_);
    else
        qWarning("Could not load the translation %s; the interface stays in Chinese.", qPrintable(file));
    // Qt's own texts (file chooser, context menus) in the same language. Beside the program on
    // Windows, where Qt is deployed with it; where Qt is installed elsewhere.
    if (!chinese)
        return;
    const QString name = QStringLiteral("qtbase_zh_CN");
    if ((qtTranslator_.load(name, programDirPath() + QStringLiteral("/translations")) ||
         qtTranslator_.load(name, QLibraryInfo::location(QLibraryInfo::TranslationsPath))))
        QCoreApplication::installTranslator(&qtTranslator_);
    else
        qWarning("Could not load Qt's Chinese translation %s: file choosers stay in English.", qPrintable(name));
}

MainWindow& ProgramCore::builtWindow()
{
    if (!window_)
        window_ = std::make_unique<MainWindow>(*this);
    return *window_;
}

void ProgramCore::showWindow()
{
    builtWindow().showWindow();
}

void ProgramCore::putAway()
{
    // Without a notification area a hidden window could never be brought back. Asked now: the
    // panel may have come or gone since the start.
    watchTray();
    if (!trayAvailable_)
        builtWindow().showMinimized();
    else if (window_)
        window_->hide();
}

void ProgramCore::setUpTray()
{
    auto* openAction = new QAction(tr("显示主窗口"), this);
    startAtLoginAction_ = new QAction(tr("登录时启动"), this);
    startAtLoginAction_->setCheckable(true);
    startAtLoginAction_->setChecked(autostart::enabled());
    auto* exitAction = new QAction(tr("退出"), this);
    connect(openAction, &QAction::triggered, this, &ProgramCore::showWindow);
    connect(startAtLoginAction_, &QAction::toggled, this, &ProgramCore::setStartAtLogin);
    connect(exitAction, &QAction::triggered, this, &ProgramCore::exitProgram);
    trayMenu_ = std::make_unique<QMenu>();
    trayMenu_->addAction(openAction);
    trayMenu_->addAction(startAtLoginAction_);
    trayMenu_->addSeparator();
    trayMenu_->addAction(exitAction);
    trayIcon_ = new QSystemTrayIcon(this);
    trayIcon_->setContextMenu(trayMenu_.get());
    connect(trayIcon_, &QSystemTrayIcon::activated, this, &ProgramCore::iconActivated);
    trayIcon_->setIcon(QIcon(QString::fromLatin1(LogoPicture)));
    trayIcon_->setToolTip(tr("副屏设置"));
    trayWatch_ = new QTimer(this);
    trayWatch_->setInterval(1000);
    connect(trayWatch_, &QTimer::timeout, this, &ProgramCore::watchTray);
    setTrayProbe(&QSystemTrayIcon::isSystemTrayAvailable);
    trayWatch_->start();
}

void ProgramCore::setTrayProbe(std::function<bool()> probe)
{
    trayProbe_ = std::move(probe);
    trayAvailable_ = trayProbe_();
    trayIcon_->setVisible(trayAvailable_);
}

void ProgramCore::watchTray()
{
    const bool available = trayProbe_();
    if (available == trayAvailable_)
        return;
    trayAvailable_ = available;
    // Hidden while there is no area to hold it, so a panel that comes back gets the icon once.
    trayIcon_->setVisible(available);
    qInfo("The notification area %s.", available ? "appeared" : "went away");
}

void ProgramCore::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::DoubleClick && reason != QSystemTrayIcon::Trigger)
        return;
    if (!window_ || window_->isHidden()) {
        showWindow();
    } else {
        window_->raise();
        window_->activateWindow();
    }
}

void ProgramCore::setStartAtLogin(bool on)
{
    if (!autostart::setEnabled(on))
        on = autostart::enabled();
    const QSignalBlocker blocker(startAtLoginAction_);
    startAtLoginAction_->setChecked(on);
    emit startAtLoginChanged(on);
}

void ProgramCore::applyStoredSettings()
{
    if (window_) {
        window_->applyStoredSettings();
        return;
    }
    // Nothing on show to bring up to date: the stored layout goes to the screen as it is.
    compose::ScreenSession& session = screen_.session();
    session.stopRefresh();
    screen_.document().load();
    screen_.sendStoredLayout();
    session.startRefresh();
}

void ProgramCore::exitProgram()
{
    builtWindow().exitProgram();
}

void ProgramCore::stop()
{
    screen_.session().stopRefresh();
    QCoreApplication::quit();
}

void ProgramCore::startSibling()
{
    screen_.startSibling();
    screen_.session().syncClock();
}

void ProgramCore::startWork()
{
    bool first = showAtStart();
    if (!first && firstUseFlag) {
        showWindow();
        first = true;
    }
    if (!first) {
        if (staysOpen_)
            builtWindow().applyWithDialog(0);
        finishStart();
        return;
    }
    // The window has just appeared: it is given a second to paint before the screen blanks.
    QTimer::singleShot(timings_.firstPaintMs, this, [this] {
        screen_.session().syncClock();
        // The marker stays until this frame has landed, however many tries that takes.
        firstFramePending_ = true;
        builtWindow().applyWithDialog(timings_.applyPauseMs, true);
        if (!staysOpen_)
            putAway();
        firstUseFlag = false;
        finishStart();
    });
}

void ProgramCore::finishStart()
{
    screen_.session().startRefresh();
    startSibling();
    emit started();
}

void ProgramCore::frameFinished(bool landed)
{
    if (landed && firstFramePending_) {
        firstFramePending_ = false;
        removeFirstRunMarker();
    }
}

void ProgramCore::adviseOnAccess()
{
    if (accessAdvised_)
        return;
    accessAdvised_ = true;
    const QString advice =
        tr("副屏已连接，但没有权限打开它。请以 root 身份安装 udev 规则 70-korvo-tft.rules，然后重新插入副屏。");
    if (trayAvailable_)
        trayIcon_->showMessage(tr("副屏设置"), advice, QSystemTrayIcon::Warning);
    else
        builtWindow().showAdvice(advice);
}

void ProgramCore::reportSettingsNotSaved()
{
    builtWindow().reportSettingsNotSaved();
}

} // namespace korvo
