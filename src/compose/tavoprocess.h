// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The apply worker.

#include "config/layoutstate.h"

#include <QImage>
#include <QSize>
#include <QThread>

#include <atomic>

namespace korvo::compose {

// Applies one layout on its own thread: composes and sends, nothing more. It works on the copy
// of the working layout it was given at construction, so the editor's state is never read from
// this thread; whoever started it commits on its own thread once succeeded() holds.
class TavoProcessThread : public QThread
{
    Q_OBJECT
public:
    TavoProcessThread(const LayoutState& working, const QImage& previewBackground, QSize widgetSize, int pauseMs = 1000,
                      QObject* parent = nullptr);

    // Waits for run() to end before the members it reads go.
    ~TavoProcessThread() override;

    void stop();
    // Whether the run has ended and sent the frame.
    bool succeeded() const;

signals:
    void DoProcessDlg();

protected:
    void run() override;

private:
    void apply();

    const LayoutState working_;
    const QImage background_;
    const QSize widgetSize_;
    const int pauseMs_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> succeeded_{false};
    // Set last thing in run(). QThread::wait() orders the end of run() before whatever follows it,
    // but in a way the thread sanitizer cannot see; this flag's release and acquire it can.
    std::atomic<bool> finished_{false};
};

} // namespace korvo::compose
