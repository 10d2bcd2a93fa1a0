// SPDX-License-Identifier: GPL-3.0-or-later
// Korvo TFT: keeps the TFT Screen showing live figures of this computer.

#include "app/commandline.h"
#include "app/headless.h"
#include "app/logging.h"
#include "app/programcore.h"
#include "app/virtualscreenviewer.h"
#include "compose/fonts.h"
#include "config/configstore.h"
#include "link/virtualscreen.h"
#include "platform/singleinstance.h"
#include "platform/terminationrequest.h"

#include <QApplication>
#include <QFont>

#include <cstdio>

#include <memory>
#include <optional>

int main(int argc, char* argv[])
{
    korvo::logging::install();
    QCoreApplication::setApplicationVersion(QStringLiteral(KORVO_VERSION));
    // The window groups with its menu entry, and the desktop finds its icon through it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.korvo.KorvoTFT"));
    if (const std::optional<int> answered = korvo::CommandLine::answerInformational(argc, argv))
        return *answered;
    // Decided before any application object: without a display there must be no widgets at all.
    if (korvo::headlessRequested(argc, argv))
        return korvo::runHeadless(argc, argv);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, true);
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    // Nothing here draws with OpenGL, yet on X11 Qt picks every window's format through GLX, which
    // loads a GL driver (Mesa's software one brings LLVM): about 50 MB for nothing.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    const korvo::CommandLine commandLine = korvo::CommandLine::read();
    korvo::compose::installFontSubstitutions();
    QApplication::setFont(QFont(QString::fromLatin1(korvo::FontFamily), 12));

    korvo::platform::SingleInstance guard;
    if (!guard.acquire()) {
        // Without a notification area the running copy may be hidden for good otherwise.
        if (korvo::platform::SingleInstance::askRunningCopy("show") == "headless")
            std::fputs("korvo-tft: Korvo TFT already runs without a window for this user (korvo-tft --headless); "
                       "stop it to use the window.\n",
                       stderr);
        return 1;
    }

    // --virtual-screen: no screen is needed; a window shows what the screen would show.
    std::unique_ptr<korvo::link::VirtualScreen> screen;
    std::unique_ptr<korvo::VirtualScreenViewer> viewer;
    const bool virtualScreen = commandLine.isSet(QStringLiteral("virtual-screen"));
    if (virtualScreen) {
        screen = std::make_unique<korvo::link::VirtualScreen>();
        viewer = std::make_unique<korvo::VirtualScreenViewer>(*screen);
        // Closing the viewer leaves the program running; closing the main window ends it.
        viewer->setAttribute(Qt::WA_QuitOnClose, false);
        viewer->show();
    }

    auto program = std::make_unique<korvo::ProgramCore>();
    program->setStaysOpen(virtualScreen);
    QObject::connect(&guard, &korvo::platform::SingleInstance::showRequested, program.get(),
                     &korvo::ProgramCore::showWindow);
    QObject::connect(&guard, &korvo::platform::SingleInstance::applyRequested, program.get(),
                     &korvo::ProgramCore::applyStoredSettings);
    korvo::platform::onTerminationRequest(program.get(), [&program] { program->stop(); });
    // Someone trying the program without a screen wants to see it, not find it in the tray.
    // A start that stays in the notification area builds no window until it is first shown.
    if (korvo::showAtStart() || virtualScreen)
        program->showWindow();
    else
        program->putAway();
    const int result = app.exec();
    program.reset();
    viewer.reset();
    return result;
}
