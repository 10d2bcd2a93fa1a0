#include "platform/systemevents.h"

#include <QSemaphore>
#include <QThread>

#include <memory>

namespace korvo::platform {

SystemEvent systemEvent(unsigned message, std::uintptr_t wParam)
{
    using namespace windowsmsg;
    switch (message) {
    case PowerBroadcast:
        if (wParam == PowerSuspend)
            return SystemEvent::Sleep;
        // Sent on every resume. The resume by the user follows only once someone touches the
        // machine, so taking it as well would announce one resume twice.
        if (wParam == PowerResumeAutomatic)
            return SystemEvent::Resume;
        return SystemEvent::None;
    // False: another program refused and the session goes on.
    case EndSession:
        return wParam != 0 ? SystemEvent::SessionEnds : SystemEvent::None;
    // Only a question; the answer is yes, and the end itself comes with EndSession.
    case QueryEndSession:
    default:
        return SystemEvent::None;
    }
}

bool runWithin(QObject* context, std::function<void()> work, int timeoutMs)
{
    if (context->thread() == QThread::currentThread()) {
        work();
        return true;
    }
    // Shared, since the work may outlive this call's wait.
    auto done = std::make_shared<QSemaphore>();
    QMetaObject::invokeMethod(
        context,
        [work = std::move(work), done] {
            work();
            done->release();
        },
        Qt::QueuedConnection);
    return done->tryAcquire(1, timeoutMs);
}

} // namespace korvo::platform
