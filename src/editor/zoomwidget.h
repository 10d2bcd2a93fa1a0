// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editor/layoutmodel.h"
#include "metrics/figuretexts.h"

#include <QRect>
#include <QWidget>

#include <array>

namespace korvo {

class SelfPlainTextEdit;
struct ThemeProfile;

// The preview and editor of the screen layout. The layout itself lives in its LayoutModel;
// the operations below keep their long-standing names and hand over to the model, adding the
// painting, the mouse gestures and the in-place text editor.
//
// The preview paints the screen enlarged 1.35 times in landscape and 1:1 in portrait, through
// the same picture fit and text layout as the frame that is sent to the screen.
class ZoomWidget : public QWidget
{
    Q_OBJECT

public:
    // Where the pointer rests in background edit mode: outside the crop frame, on one of its
    // corner handles, inside it, or on one of its edges.
    enum HitCode
    {
        HitNone = -1,
        HitTopLeft = 0,
        HitTopRight = 1,
        HitBottomLeft = 2,
        HitBottomRight = 3,
        HitInside = 4,
        HitLeft = 5,
        HitRight = 6,
        HitTop = 7,
        HitBottom = 8,
    };

    explicit ZoomWidget(QWidget* parent = nullptr);

    LayoutModel& model() { return *model_; }
    const LayoutModel& model() const { return *model_; }
    SelfPlainTextEdit* textEditor() const { return textEditor_; }

    void setEnglishInterface(bool english);
    // The figures this machine does not give: the preview shows them as the screen does, "--"
    // and the unit, instead of the layout's sample texts.
    void setUnavailableFigures(const metrics::FigureSet& unavailable);

    void LoadLayout(const ThemeProfile& profile, bool full);
    void SetBackgroundPicture(const QString& path);
    void SetElementShown(int kind, int show);
    void SetOrientation(int hor);
    void SetTextColor(int index);
    void SetTextSize(int index);
    void SetEditingActive(bool on);
    void UndoEdit(bool toStart);
    void ResetCustomShow();

    void SetBackgroundEditMode(bool on);
    // Colours, sizes and places the text editor over the free text's row.
    void StyleTextEditor();
    void ShowTextEditor();
    // Closes the text editor and keeps what it holds as the free text.
    void CommitTextEditor();

    // The crop frame as the last paint placed it, and what the pointer last hovered over.
    QRect frameRect() const { return frameRect_; }
    int hitCode() const { return hitCode_; }

public slots:
    void solteditingFinished();
    void slotShowEdt();

signals:
    void HideColorWin(int iShow);
    void HideRemote(int iHide);
    void UndoColorSignal(int iColor);
    void UndoTextSize(int iSize);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateTextLimit();
    int hor() const;
    double scale() const;
    QPoint origin() const;
    // A device rectangle in preview pixels, grown by the given margins (preview pixels).
    QRect mapRect(const QRect& device, double left = 0, double width = 0, double height = 0) const;
    QRect slotPickRect(int slot) const;
    QRect slotDropRect(int slot) const;
    QRect textPickRect() const;

    void paintTexts(QPainter& painter);
    void paintDragFeedback(QPainter& painter);
    void paintFrame(QPainter& painter);
    void hover(const QPoint& pos);
    void resizeFrame(const QPoint& pos);

    LayoutModel* model_;
    SelfPlainTextEdit* textEditor_;

    bool moving_ = false;
    bool resizingOrSlotDrag_ = false; // resizing in background edit mode, a slot drag otherwise
    bool textDrag_ = false;
    int draggedSlot_ = 0;
    QPoint lastPos_;
    int hitCode_ = HitNone;
    QRect frameRect_;
    std::array<QRect, 4> cornerHandles_{};
    QRect textBounds_; // where the free text stood at the last paint, preview pixels
    metrics::FigureSet unavailable_;
};

} // namespace korvo
