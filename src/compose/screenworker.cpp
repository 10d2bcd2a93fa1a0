// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/screenworker.h"

#include "compose/applyrenderer.h"
#include "compose/tavoprocess.h"
#include "link/link.h"

#include <QTimer>

namespace korvo::compose {
namespace {

// The untranslated product name of the screen's row in the device table.
constexpr const char* ScreenName = "TFT Screen";

} // namespace

ScreenWorker::ScreenWorker(const CommittedLayout& committed, Milliseconds passPause, Milliseconds kindPause)
    : committed_(committed), renderer_(committed), refresh_(&renderer_, kindPause), passPause_(passPause),
      passTimer_(new QTimer(this)), applyTimer_(new QTimer(this))
{
    passTimer_->setSingleShot(true);
    applyTimer_->setSingleShot(true);
    connect(passTimer_, &QTimer::timeout, this, &ScreenWorker::runPass);
    connect(applyTimer_, &QTimer::timeout, this, &ScreenWorker::runApply);
}

ScreenWorker::~ScreenWorker()
{
    // The hold is the link's, for the whole process: whoever sends next starts free.
    link::holdWrites(false);
}

void ScreenWorker::holdWrites(bool held)
{
    held_.store(held);
    link::holdWrites(held);
    if (held)
        refresh_.requestStop();
    else
        refresh_.allowPasses();
}

bool ScreenWorker::tracked(const std::function<bool()>& write)
{
    const uint64_t failuresBefore = link::failedWrites();
    const bool result = write();
    if (link::failedWrites() != failuresBefore)
        markNeedsFrame();
    return result;
}

void ScreenWorker::markNeedsFrame()
{
    passTimer_->stop();
    if (needsFrame_)
        return;
    needsFrame_ = true;
    emit frameNeeded();
}

void ScreenWorker::frameLanded()
{
    needsFrame_ = false;
    frameShown_ = true;
    if (refreshWanted_)
        schedulePass(Milliseconds(0));
}

void ScreenWorker::checkAccess()
{
    if (accessReported_ || !link::screenAccessDenied())
        return;
    accessReported_ = true;
    emit accessDenied();
}

void ScreenWorker::open()
{
    link::InitDeviceTable();
    link::EnumerateScreens();
    link::OpenScreenByName(ScreenName);
    tracked([] { return link::SendTimeSync(); });
    checkAccess();
}

void ScreenWorker::applyFrame(quint64 ticket, std::shared_ptr<const TavoProcessThread> job, int pauseMs)
{
    passTimer_->stop();
    applyTicket_ = ticket;
    applyJob_ = std::move(job);
    // The pause lets the wait dialog appear before the screen blanks under the new frame.
    applyTimer_->start(std::max(pauseMs, 0));
}

void ScreenWorker::runApply()
{
    const std::shared_ptr<const TavoProcessThread> job = std::move(applyJob_);
    if (!job)
        return;
    // Figures known to be missing are drawn as such at once, not as the layout's samples.
    const bool landed = !held_.load() && tracked([this, &job] { return job->run(unavailable_); });
    if (landed)
        frameLanded();
    else
        markNeedsFrame();
    emit frameDone(applyTicket_, landed);
}

void ScreenWorker::writeConfig(const ConfigWrite& write)
{
    emit configWritten(write.write());
}

void ScreenWorker::resendFrame()
{
    if (held_.load()) {
        emit frameDone(0, false);
        return;
    }
    link::EnumerateScreens();
    link::OpenScreenByName(ScreenName);
    const std::shared_ptr<const LayoutState> state = committed_.get();
    const bool landed = tracked([this, &state] { return resendLayout(*state, unavailable_); });
    if (landed)
        frameLanded();
    else
        markNeedsFrame();
    checkAccess();
    emit frameDone(0, landed);
}

void ScreenWorker::setRefreshing(bool on)
{
    refreshWanted_ = on;
    if (on)
        schedulePass(Milliseconds(0));
    else
        passTimer_->stop();
}

void ScreenWorker::schedulePass(Milliseconds delay)
{
    if (refreshWanted_ && !needsFrame_ && !held_.load() && !applyJob_)
        passTimer_->start(int(delay.count()));
}

void ScreenWorker::runPass()
{
    // After a whole frame the screen shows the committed layout's sample texts.
    if (frameShown_)
        refresh_.setLastTexts(renderer_.frameShown(unavailable_));
    frameShown_ = false;
    tracked([this] { return refresh_.runPass(); });
    const metrics::FigureSet unavailable = metrics::unavailableFigures(refresh_.snapshot().cpu);
    if (unavailable != unavailable_) {
        unavailable_ = unavailable;
        emit figuresUnavailable(unavailable);
    }
    schedulePass(passPause_ + refresh_.owedPause());
}

void ScreenWorker::sendClock()
{
    if (!needsFrame_)
        tracked([] { return link::SendTimeSync(); });
}

void ScreenWorker::screenArrived(const QString& path, quint16 vendorId, quint16 productId)
{
    if (link::RecordScreenArrival(vendorId, productId, path.toLatin1().constData()) == 0)
        return;
    link::OpenScreenByName(ScreenName);
    // It shows its own start-up picture.
    markNeedsFrame();
    checkAccess();
}

void ScreenWorker::screenRemoved(quint16 vendorId, quint16 productId)
{
    if (link::RecordScreenRemoval(vendorId, productId) == 0)
        return;
    link::CloseScreen();
    markNeedsFrame();
}

void ScreenWorker::halt()
{
    passTimer_->stop();
    if (applyJob_) {
        applyTimer_->stop();
        applyJob_.reset();
        emit frameDone(applyTicket_, false);
    }
    // Whatever the screen shows after the sleep, it is not known to be ours.
    needsFrame_ = true;
    emit halted();
}

} // namespace korvo::compose
