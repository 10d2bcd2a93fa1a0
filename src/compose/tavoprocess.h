#pragma once

// The apply worker and the small modal wait dialog that covers the main window meanwhile.

#include "config/layoutrecord.h"

#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QThread>

#include <atomic>
#include <functional>

class QLabel;
class QMovie;

namespace korvo::compose {

class TavoProcessDialog : public QDialog
{
    Q_OBJECT
public:
    // Centred on `parent` when there is one.
    explicit TavoProcessDialog(QWidget* parent = nullptr);

public slots:
    void slotProcessDlg();

private:
    QPixmap pixmap_;
    QLabel* label_ = nullptr;
    QMovie* movie_ = nullptr;
};

// Applies one layout on its own thread. It works on the copy of the working layout it was given
// at construction, so the editor's state is never read from this thread. `commit` runs after the
// frame was sent (the editor's CommitLayout); `afterApply` after a successful apply (the main
// window's settings, profile and clock).
class TavoProcessThread : public QThread
{
    Q_OBJECT
public:
    TavoProcessThread(const LayoutState& working, const QImage& previewBackground, QSize widgetSize,
                      std::function<void()> commit, std::function<void()> afterApply, int pauseMs = 1000,
                      QObject* parent = nullptr);

    // Waits for run() to end before the members it reads go.
    ~TavoProcessThread() override;

    void stop();
    // Whether the run has ended and sent the frame. Everything the run did (the commit and the
    // after-apply step included) is visible to the caller once this returned true.
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
    const std::function<void()> commit_;
    const std::function<void()> afterApply_;
    const int pauseMs_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> succeeded_{false};
    // Set last thing in run(). QThread::wait() orders the end of run() before whatever follows it,
    // but in a way the thread sanitizer cannot see; this flag's release and acquire it can.
    std::atomic<bool> finished_{false};
};

} // namespace korvo::compose
