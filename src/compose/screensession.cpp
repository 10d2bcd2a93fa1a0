#include "compose/screensession.h"

#include "compose/applyrenderer.h"
#include "compose/refreshdatathread.h"
#include "compose/tavoprocess.h"
#include "link/link.h"

#include <QDebug>

namespace korvo::compose {
namespace {

// The untranslated product name of the screen's row in the device table.
constexpr const char* ScreenName = "TFT Screen";
constexpr int VendorInterface = 1;

} // namespace

ScreenSession::ScreenSession(const CommittedLayout& committed, QObject* parent)
    : QObject(parent), committed_(committed), renderer_(committed)
{
}

ScreenSession::~ScreenSession()
{
    stopRefresh();
    // The apply thread never waits for this thread, so waiting for it cannot deadlock.
    if (apply_)
        apply_->wait();
}

void ScreenSession::startRefresh()
{
    // An apply sends a whole frame; whoever started it starts the loop again once it is over.
    if (refresh_ || apply_)
        return;
    refresh_ = std::make_unique<RefreshDataThread>(&renderer_);
    if (redrawAll_)
        refresh_->forgetLastTexts();
    redrawAll_ = false;
    refresh_->start();
}

void ScreenSession::stopRefresh()
{
    if (!refresh_)
        return;
    refresh_->stop();
    refresh_.reset();
}

bool ScreenSession::apply(const LayoutState& working, const QImage& previewBackground, QSize widgetSize, int pauseMs)
{
    if (apply_) {
        qDebug("An apply is still running; this one is not started.\n");
        return false;
    }
    stopRefresh();
    apply_ = std::make_unique<TavoProcessThread>(working, previewBackground, widgetSize, pauseMs);
    connect(apply_.get(), &TavoProcessThread::DoProcessDlg, this, &ScreenSession::applyEnded, Qt::QueuedConnection);
    apply_->start();
    return true;
}

void ScreenSession::applyEnded()
{
    if (!apply_)
        return;
    // The signal comes just before the run ends; once it has, all it did is visible here.
    apply_->wait();
    const bool sent = apply_->succeeded();
    apply_.reset();
    if (sent) {
        renderer_.forgetDrawn();
        redrawAll_ = true;
        emit frameSent();
    }
    emit applyFinished(sent);
    if (resendAfterApply_) {
        resendAfterApply_ = false;
        if (!sent)
            screenBack();
    }
}

void ScreenSession::deviceChanged(const QString& path, quint16 vendorId, quint16 productId, int interfaceNumber,
                                  bool arrived)
{
    qDebug("vid = %d, pid = %d\n", vendorId, productId);
    if (interfaceNumber != VendorInterface || path.isEmpty())
        return;
    if (arrived) {
        if (link::RecordScreenArrival(vendorId, productId, path.toLatin1().constData()) == 0)
            return;
        link::OpenScreenByName(ScreenName);
        screenBack();
    } else if (link::RecordScreenRemoval(vendorId, productId) > 0) {
        link::CloseScreen();
    }
}

void ScreenSession::screenBack()
{
    if (apply_) {
        resendAfterApply_ = true;
        return;
    }
    const bool wasRefreshing = refreshing();
    stopRefresh();
    renderer_.forgetDrawn();
    if (!resendLayout(*committed_.get()))
        qDebug("The screen came back but did not take the frame.\n");
    redrawAll_ = true;
    if (wasRefreshing)
        startRefresh();
}

} // namespace korvo::compose
