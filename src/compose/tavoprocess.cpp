// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/tavoprocess.h"

#include "compose/applyrenderer.h"
#include "config/configstore.h"

namespace korvo::compose {

TavoProcessThread::TavoProcessThread(const LayoutState& working, const QImage& previewBackground, QSize widgetSize,
                                     int pauseMs, QObject* parent)
    : QThread(parent), working_(working), background_(previewBackground), widgetSize_(widgetSize), pauseMs_(pauseMs)
{
}

TavoProcessThread::~TavoProcessThread()
{
    wait();
    finished_.load(std::memory_order_acquire);
}

void TavoProcessThread::stop()
{
    stop_.store(true);
}

bool TavoProcessThread::succeeded() const
{
    return finished_.load(std::memory_order_acquire) && succeeded_.load();
}

void TavoProcessThread::run()
{
    apply();
    finished_.store(true, std::memory_order_release);
}

void TavoProcessThread::apply()
{
    if (stop_.load()) {
        qDebug("isStop.\n");
        return;
    }
    // The pause lets the wait dialog appear before the screen blanks under the new frame.
    if (pauseMs_ > 0)
        msleep(pauseMs_);
    succeeded_.store(applyLayout(working_, background_, widgetSize_));
    emit DoProcessDlg();
}

} // namespace korvo::compose
