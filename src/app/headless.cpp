// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/headless.h"
#include "app/logging.h"

#include "app/screencore.h"
#include "compose/fonts.h"
#include "compose/screensession.h"
#include "config/configstore.h"
#include "config/inifile.h"
#include "link/link.h"
#include "platform/devicenotifier.h"
#include "platform/servicenotify.h"
#include "platform/singleinstance.h"
#include "platform/terminationrequest.h"

#include <QDebug>
#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace korvo {
namespace {

// The journal reads a "<priority>" prefix on each line of a service's output; a terminal shows
// the line as it is. The lines come without their closing line breaks (logging::install).
void journalLine(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    static const bool journal = qEnvironmentVariableIsSet("JOURNAL_STREAM");
    const QByteArray line = message.toUtf8();
    const char* priority = "";
    if (journal) {
        switch (type) {
        case QtDebugMsg:
            priority = "<7>";
            break;
        case QtInfoMsg:
            priority = "<6>";
            break;
        case QtWarningMsg:
            priority = "<4>";
            break;
        case QtCriticalMsg:
            priority = "<3>";
            break;
        case QtFatalMsg:
            priority = "<2>";
            break;
        }
    }
    std::fprintf(stderr, "%s%s\n", priority, line.constData());
    std::fflush(stderr);
}

// One copy's life without a window: the stored profile, the committed layout it gives the
// screen, and the session that keeps the screen current.
class HeadlessProgram : public QObject
{
public:
    void start()
    {
        ScreenDocument& document = core_.document();
        document.load();
        // The shipped settings replaced the user's once after an installation; this copy sends
        // the layout at every start anyway, so nothing else of a first start is left to do.
        if (showAtStart())
            removeFirstRunMarker();
        useShippedSettingsIfUnusable();
        document.setEnglishInterface(!chineseInterface());
        connect(&core_.session(), &compose::ScreenSession::applyFinished, this, &HeadlessProgram::frameFinished);
        connect(&core_.devices(), &platform::DeviceNotifier::deviceChanged, this, &HeadlessProgram::deviceChanged);
        core_.start(0);
        // Every start sends the whole frame: the screen may have been off, or show a layout of
        // older settings.
        core_.sendStoredLayout();
        core_.startSibling();
    }

    // SIGHUP or korvo-tftctl: Config.ini may have changed.
    void reload()
    {
        if (core_.session().applying()) {
            // The frame under way is of the old settings; the new ones follow it.
            reloadPending_ = true;
            return;
        }
        platform::notifyServiceManager("RELOADING=1");
        qInfo("Config.ini is read again; the screen is given the stored layout.");
        setConfigFileOverride(QString());
        core_.document().load();
        useShippedSettingsIfUnusable();
        core_.sendStoredLayout();
    }

    void stop()
    {
        platform::notifyServiceManager("STOPPING=1");
        core_.session().stopRefresh();
        QCoreApplication::quit();
    }

private:
    // A settings folder that cannot be written leaves no Config.ini; one that is not a regular
    // file or far too large is not read. The shipped template stands in for it, untouched, since
    // nothing here writes settings.
    void useShippedSettingsIfUnusable()
    {
        const IniFile stored = IniFile::read(configFilePath());
        if (stored.state() != IniFile::State::Missing && stored.state() != IniFile::State::Refused)
            return;
        const QString shipped = programDirPath() + QStringLiteral("/Config.ini");
        qWarning("%s cannot be used (%s); the screen shows the shipped layout.", qUtf8Printable(stored.path()),
                 stored.state() == IniFile::State::Missing ? "it is missing and cannot be made"
                                                           : qUtf8Printable(stored.problem()));
        setConfigFileOverride(shipped);
        core_.document().load();
    }

    void frameFinished(bool sent)
    {
#ifdef __GLIBC__
        // Composing decoded the picture at up to 2048 x 2048 on the apply thread; glibc keeps the
        // freed megabytes in that thread's arena for good unless asked to give them back.
        malloc_trim(0);
#endif
        // Said when it changes: at the start, and when a reload finds the screen otherwise.
        if (!shownOnce_ || sent != lastLanded_)
            qInfo(sent ? "The screen shows the stored layout."
                       : "No screen took the stored layout; it is given it once one answers.");
        shownOnce_ = true;
        lastLanded_ = sent;
        if (reloadPending_) {
            reloadPending_ = false;
            reload();
            return;
        }
        // Ready once the screen shows the layout or is known to be away: a service that waited
        // for a screen nobody plugs in would never start.
        platform::notifyServiceManager("READY=1");
        core_.session().startRefresh();
    }

    void deviceChanged(const platform::DeviceEvent& event)
    {
        // The screen's vendor interface stands for the screen; the other one comes and goes with it.
        if (event.vendorId == link::ScreenVendorId && event.productId == link::ScreenProductId &&
            event.interfaceNumber == 1)
            qInfo(event.arrived ? "The screen was plugged in; it is given the stored layout."
                                : "The screen was unplugged.");
    }

    ScreenCore core_;
    bool shownOnce_ = false;
    bool lastLanded_ = false;
    bool reloadPending_ = false;
};

} // namespace

bool headlessRequested(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0)
            return true;
    }
    return false;
}

int runHeadless(int argc, char* argv[])
{
    // No display server is needed or looked for; fonts still come from fontconfig.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Debug lines stay off in the journal as on a terminal: only the last handler changes.
    logging::install(journalLine);
    QGuiApplication app(argc, argv);
    compose::installFontSubstitutions();

    platform::SingleInstance guard;
    guard.setHeadless(true);
    if (!guard.acquire()) {
        std::fputs("korvo-tft: Korvo TFT already runs for this user; this copy ends.\n", stderr);
        return 1;
    }

    HeadlessProgram program;
    platform::onTerminationRequest(&program, [&program] { program.stop(); });
    platform::onReloadRequest([&program] { program.reload(); });
    QObject::connect(&guard, &platform::SingleInstance::applyRequested, &program, &HeadlessProgram::reload);
    program.start();
    return app.exec();
}

} // namespace korvo
