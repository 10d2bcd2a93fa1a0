#pragma once

#include "compose/arearenderer.h"
#include "config/layoutrecord.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <memory>

namespace korvo::compose {

class RefreshDataThread;
class TavoProcessThread;

// What keeps the screen in step with the committed layout, without any widget: the area
// renderer, the refresh thread's lifecycle, the apply thread and the reaction to the screen
// coming and going. Lives on the GUI thread; the threads it starts read only values and the
// committed snapshot, and report back through queued signals.
class ScreenSession : public QObject
{
    Q_OBJECT
public:
    explicit ScreenSession(const CommittedLayout& committed, QObject* parent = nullptr);
    // Stops the refresh thread and waits for an apply still running.
    ~ScreenSession() override;

    // Does nothing while the loop runs already or an apply is under way.
    void startRefresh();
    // Returns once the loop has been left, so nothing it drew can follow.
    void stopRefresh();
    bool refreshing() const { return refresh_ != nullptr; }

    // Composes and sends the working layout on the apply thread after `pauseMs`. The refresh
    // thread must not run meanwhile; it is stopped here if it does. frameSent() then asks the
    // owner to commit, and applyFinished() follows either way. False when an apply still runs.
    bool apply(const LayoutState& working, const QImage& previewBackground, QSize widgetSize, int pauseMs);
    bool applying() const { return apply_ != nullptr; }

    // A HID interface came or went. Only the screen's vendor interface (number 1) acts: its
    // arrival opens the screen and gives it the committed layout again, its removal closes it.
    void deviceChanged(const QString& path, quint16 vendorId, quint16 productId, int interfaceNumber, bool arrived);

signals:
    // The frame of an apply reached the screen: commit the layout now, on this thread.
    void frameSent();
    void applyFinished(bool sent);

private:
    void applyEnded();
    // The screen is attached again and shows its own picture: the committed frame, orientation
    // and clock, then a refresh pass that redraws every figure.
    void screenBack();

    const CommittedLayout& committed_;
    AreaRenderer renderer_;
    std::unique_ptr<RefreshDataThread> refresh_;
    std::unique_ptr<TavoProcessThread> apply_;
    // The next refresh thread redraws every figure: a whole frame has just replaced them.
    bool redrawAll_ = false;
    // A screen arrived while an apply was running; it gets the layout once the apply is over.
    bool resendAfterApply_ = false;
};

} // namespace korvo::compose
