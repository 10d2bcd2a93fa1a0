// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/screencore.h"

#include "compose/previewgeometry.h"
#include "compose/screensession.h"
#include "compose/siblingsupervisor.h"
#include "config/configstore.h"
#include "editor/layoutmodel.h"
#include "platform/devicenotifier.h"
#include "platform/sibling.h"
#include "platform/sleepnotifier.h"

#include <QLocale>

namespace korvo {
namespace {

#ifdef Q_OS_WIN
const char* const SiblingProgram = "/bin/GetCPUInfo.exe";
#else
const char* const SiblingProgram = "/bin/GetCPUInfo";
#endif

} // namespace

ScreenCore::ScreenCore(QObject* parent)
    : QObject(parent), session_(std::make_unique<compose::ScreenSession>(document_)),
      sibling_(new compose::SiblingSupervisor(programDirPath() + QLatin1String(SiblingProgram), {}, this)),
      deviceNotifier_(new platform::DeviceNotifier(this)), sleepNotifier_(new platform::SleepNotifier(this))
{
    connect(deviceNotifier_, &platform::DeviceNotifier::deviceChanged, this, &ScreenCore::deviceChanged);
    connect(sleepNotifier_, &platform::SleepNotifier::aboutToSleep, session_.get(),
            &compose::ScreenSession::systemSleeping);
    connect(session_.get(), &compose::ScreenSession::readyToSleep, sleepNotifier_,
            &platform::SleepNotifier::readyToSleep);
    connect(sleepNotifier_, &platform::SleepNotifier::resumed, session_.get(), &compose::ScreenSession::systemResumed);
}

ScreenCore::~ScreenCore()
{
    session_.reset();
    sibling_->close();
}

void ScreenCore::start(WId window)
{
    if (!deviceNotifier_->registerFor(window))
        qWarning("The screen is not watched for being plugged in or out; it is looked for at start only.");
    // It says why itself; without the system bus (a container) the program goes on without.
    sleepNotifier_->start();
    session_->open();
}

void ScreenCore::startSibling()
{
    if (!sibling_->running() && platform::siblingRunning())
        return;
    sibling_->start();
}

void ScreenCore::sendStoredLayout()
{
    LayoutModel model;
    model.setEnglishInterface(document_.committedState().englishInterface);
    model.startFrom(document_);
    // The window starts the custom layout in its first style as well.
    ThemeProfile profile = document_.profile();
    profile.Style = 0;
    model.LoadLayout(profile, true);
    const LayoutState& layout = model.working();
    session_->apply(layout, model.previewBackground(), compose::editorSize(layout.Hor), 0, true);
}

void ScreenCore::deviceChanged(const platform::DeviceEvent& event)
{
    session_->deviceChanged(event.path, event.vendorId, event.productId, event.interfaceNumber, event.arrived);
}

void ScreenCore::nativeEvent(const QByteArray& eventType, void* message)
{
    deviceNotifier_->nativeEvent(eventType, message);
    sleepNotifier_->nativeEvent(eventType, message);
}

bool chineseInterface()
{
    return QLocale().language() == QLocale::Chinese;
}

} // namespace korvo
