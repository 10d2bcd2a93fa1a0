// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/zoomwidget.h"
#include "compose/layouttables.h"

#include "compose/elementlayout.h"
#include "compose/fonts.h"
#include "compose/previewgeometry.h"
#include "config/settingsreader.h"
#include "config/themeprofile.h"
#include "editor/selfplaintextedit.h"

#include <QDebug>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QTextCursor>
#include <QWheelEvent>

#include <algorithm>

namespace korvo {

namespace {

constexpr int HandleSize = 18;
constexpr int EdgeGrip = 5;     // pixels inside the crop frame that grab an edge
constexpr int ZoomStep = 4;     // device pixels per side and wheel step
constexpr int CornerStroke = 4; // width of the corner marks of the crop frame
const QColor FrameColor(255, 100, 34);
const QColor RowGuideColor(180, 180, 180);
const QColor CanvasOutlineColor(128, 128, 128);
const QColor HighlightColor(255, 255, 255, 40);

// The cursors of a drag: a hand holding a figure, and one holding the free text.
QCursor dragCursor(const char* picture)
{
    return QCursor(QPixmap(QString::fromLatin1(picture)));
}

} // namespace

ZoomWidget::ZoomWidget(QWidget* parent)
    : QWidget(parent), model_(new LayoutModel(this)), textEditor_(new SelfPlainTextEdit(this))
{
    compose::installFontSubstitutions();
    textEditor_->hide();
    textEditor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textEditor_->installEventFilter(this);
    connect(textEditor_, &SelfPlainTextEdit::editingFinished, this, &ZoomWidget::solteditingFinished);
    connect(model_, &LayoutModel::changed, this, qOverload<>(&QWidget::update));
    connect(model_, &LayoutModel::UndoColorSignal, this, &ZoomWidget::UndoColorSignal);
    connect(model_, &LayoutModel::UndoTextSize, this, &ZoomWidget::UndoTextSize);
    StyleTextEditor();
}

// An English line is longer for the same width; portrait leaves room for fewer characters.
void ZoomWidget::updateTextLimit()
{
    const LayoutState& state = model_->working();
    textEditor_->setMaxLength(state.englishInterface && !state.isPortrait() ? 60 : 40);
}

void ZoomWidget::setEnglishInterface(bool english)
{
    model_->setEnglishInterface(english);
    updateTextLimit();
}

void ZoomWidget::setUnavailableFigures(const metrics::FigureSet& unavailable)
{
    if (unavailable == unavailable_)
        return;
    unavailable_ = unavailable;
    update();
}

void ZoomWidget::LoadLayout(const ThemeProfile& profile, bool full)
{
    model_->LoadLayout(profile, full);
    updateTextLimit();
    textEditor_->setPlainText(model_->working().record.String_[FreeText]);
}

void ZoomWidget::SetBackgroundPicture(const QString& path)
{
    model_->SetBackgroundPicture(path);
}

void ZoomWidget::SetElementShown(int kind, int show)
{
    model_->SetElementShown(kind, show);
}

void ZoomWidget::SetOrientation(int hor)
{
    model_->SetOrientation(hor);
    StyleTextEditor();
    if (model_->working().isPortrait()) {
        // The narrower row takes fewer characters; the preview and the screen then show the
        // same shortened line, not only the editor.
        textEditor_->enforceMaxLength();
        QString& text = model_->workingRecord().String_[FreeText];
        text.truncate(textEditor_->maxLength());
    }
}

void ZoomWidget::SetTextColor(int index)
{
    model_->SetTextColor(index);
    StyleTextEditor();
}

void ZoomWidget::SetTextSize(int index)
{
    model_->SetTextSize(index);
    StyleTextEditor();
}

void ZoomWidget::SetEditingActive(bool on)
{
    model_->SetEditingActive(on);
    // The bar's buttons take no focus, so an entry they end sees no focus-out: it is stored here.
    if (!on && !textEditor_->isHidden())
        CommitTextEditor();
}

void ZoomWidget::UndoEdit(bool toStart)
{
    model_->UndoEdit(toStart);
    // Applying stores the editor's text as the free text; it must not bring back what was undone.
    textEditor_->setPlainText(model_->working().record.String_[FreeText]);
    StyleTextEditor();
}

void ZoomWidget::ResetCustomShow()
{
    model_->ResetCustomShow();
}

void ZoomWidget::SetBackgroundEditMode(bool on)
{
    model_->setBackgroundEditMode(on);
    // Hovering shows which part of the crop frame a press would take; outside this mode moves
    // without a button matter to no one.
    setMouseTracking(on);
    update();
}

void ZoomWidget::StyleTextEditor()
{
    const LayoutRecord& record = model_->working().record;
    const QColor color = QColor::fromRgba(compose::textColorAt(record.Color));
    textEditor_->setStyleSheet(QString::asprintf("color:rgba(%d,%d,%d,255);background:transparent;border-width:1px;"
                                                 "border-color:rgba(%d,%d,%d,255);border-style:outset",
                                                 color.red(), color.green(), color.blue(), color.red(), color.green(),
                                                 color.blue()));
    int pixelSize = compose::textSizeAt(record.Size);
    if (hor() == 0)
        pixelSize = int(pixelSize * scale());
    textEditor_->setFont(compose::elementFont(pixelSize));
    updateTextLimit();
    // Three device pixels taller than the row, so that a descender of the last line stays visible.
    textEditor_->setGeometry(mapRect(compose::stringRowRect(hor(), model_->working().curRectId), 0, 0, 3 * scale()));
    qDebug("11111");
}

void ZoomWidget::ShowTextEditor()
{
    textEditor_->setPlaceholderText(tr("双击进行输入"));
    textEditor_->setPlainText(model_->working().record.String_[FreeText]);
    StyleTextEditor();
    textEditor_->show();
    textEditor_->setFocus();
    textEditor_->moveCursor(QTextCursor::End);
    model_->setEditing(true);
    update();
}

void ZoomWidget::slotShowEdt()
{
    ShowTextEditor();
}

void ZoomWidget::CommitTextEditor()
{
    textEditor_->hide();
    model_->workingRecord().String_[FreeText] = textEditor_->toPlainText();
    emit HideColorWin(0);
    model_->setEditing(false);
    update();
}

void ZoomWidget::solteditingFinished()
{
    // Hiding the editor takes its focus away too; that second notice finds it closed already.
    if (!textEditor_->isHidden())
        CommitTextEditor();
}

int ZoomWidget::hor() const
{
    return model_->working().isPortrait() ? 1 : 0;
}

double ZoomWidget::scale() const
{
    return compose::previewScale(hor());
}

QPoint ZoomWidget::origin() const
{
    return compose::previewFrame(hor(), size()).topLeft();
}

QRect ZoomWidget::mapRect(const QRect& device, double left, double width, double height) const
{
    if (device.isNull())
        return QRect();
    const double s = scale();
    const QPoint o = origin();
    return QRect(int(o.x() + device.left() * s - left), int(o.y() + device.top() * s), int(device.width() * s + width),
                 int(device.height() * s + height));
}

// A figure is easy to grab: the pick area reaches beyond the slot to take in its label below.
QRect ZoomWidget::slotPickRect(int slot) const
{
    const double s = scale();
    return mapRect(compose::slotRect(hor(), slot), 9 * s, 18 * s, 30 * s);
}

QRect ZoomWidget::slotDropRect(int slot) const
{
    const double s = scale();
    return mapRect(compose::slotRect(hor(), slot), 10 * s, 20 * s, 30 * s);
}

// The free text is picked where its lines stand, measured at the last paint.
QRect ZoomWidget::textPickRect() const
{
    const QRect row = compose::stringRowRect(hor(), model_->working().curRectId);
    const int fh = model_->textFontHeight();
    const int ls = model_->textLineSpacing();
    if (hor() == 1) {
        const QPoint o = origin();
        return QRect(o.x() + row.left(), o.y() + row.top(), row.width(), ls + 3 * fh);
    }
    const double s = scale();
    const QPoint o = origin();
    return QRect(int(o.x() + s * row.left()), int(o.y() + s * row.top() - 5 * s), int(s * row.width()),
                 int(5 * s + ls + 2 * fh));
}

void ZoomWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);

    // The picture goes down exactly as the frame sent to the screen places it; where it does not
    // reach, the screen stays black.
    const LayoutState& working = model_->working();
    const QRect canvas = compose::previewFrame(hor(), size());
    painter.fillRect(canvas, Qt::black);
    const QImage picture = compose::backgroundWithBoxes(working, model_->previewBackground());
    const QRect target = compose::backgroundRect(hor(), picture.size(), size(), working.record);
    if (!target.isEmpty()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, compose::fittedBackground(hor(), picture));
    }

    painter.setRenderHint(QPainter::Antialiasing);
    paintTexts(painter);
    if (working.isCustom())
        paintDragFeedback(painter);

    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(CanvasOutlineColor);
    painter.drawRect(canvas.adjusted(-1, -1, 0, 0));
    paintFrame(painter);
}

// The texts are laid out in device pixels by the same code as the screen's frame and drawn
// through the preview's scale, so that they stand where the screen will show them.
void ZoomWidget::paintTexts(QPainter& painter)
{
    const LayoutState& working = model_->working();
    const LayoutRecord& record = working.record;
    const QString& freeText = record.String_[FreeText];
    const bool editorOpen = !textEditor_->isHidden();
    const bool custom = working.isCustom();

    LayoutState others = working;
    if (editorOpen || custom)
        others.record.String_[FreeText].clear();

    painter.save();
    painter.translate(origin());
    painter.scale(scale(), scale());
    for (const compose::TextItem& item : compose::frameTexts(others, unavailable_))
        compose::drawTextItem(painter, item);

    if (custom && working.Style == 0 && freeText.isEmpty() && record.Show_[FreeText] == 1) {
        // Tells the user where to type; the screen shows nothing there.
        for (int slot = 0; slot < SlotCount; ++slot) {
            if (working.customShow[0][slot] != FreeText)
                continue;
            compose::drawTextItem(painter, {compose::slotRect(hor(), slot), tr("双击进行输入"),
                                            compose::valuePixelSize(working, FreeText),
                                            Qt::AlignHCenter | Qt::AlignTop | Qt::TextWrapAnywhere});
            break;
        }
    }

    if (custom && !editorOpen && !freeText.isEmpty()) {
        const QFontMetrics metrics(compose::elementFont(qRound(compose::textSizeAt(record.Size) * scale())));
        model_->setTextMetrics(metrics.height(), metrics.lineSpacing());
        for (const compose::TextItem& item : compose::valueTexts(working, FreeText, freeText)) {
            compose::drawTextItem(painter, item);
            const QRectF bounds = painter.boundingRect(QRectF(item.rect), item.flags, item.text);
            textBounds_ = painter.transform().mapRect(bounds).toAlignedRect();
        }
    }
    painter.restore();
}

void ZoomWidget::paintDragFeedback(QPainter& painter)
{
    const auto highlight = [&painter](const QRect& rect) {
        QPen pen(HighlightColor, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
        painter.setPen(pen);
        painter.setBrush(HighlightColor);
        painter.drawRoundedRect(rect, 3, 3);
    };
    if (textDrag_) {
        const int current = model_->working().curRectId;
        for (int row = 0; row < StringRowCount; ++row) {
            const QRect mapped = mapRect(compose::stringRowRect(hor(), row));
            if (row == current) {
                highlight(QRect(mapped.left(), textBounds_.top(), mapped.width(), textBounds_.height()));
            } else {
                painter.setPen(QPen(RowGuideColor, 1, Qt::DotLine));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(mapped);
            }
        }
    } else if (resizingOrSlotDrag_ && !model_->backgroundEditMode()) {
        highlight(slotDropRect(draggedSlot_));
    }
}

// The crop frame follows the resize amounts; its rectangles serve the mouse even while the frame
// itself is not drawn.
void ZoomWidget::paintFrame(QPainter& painter)
{
    const int a = model_->portraitResize();
    const int b = model_->landscapeResize();
    const int w = width();
    const int h = height();
    frameRect_ = QRect(QPoint(a + 1, b), QPoint(w - a - 2, h - b - 1));
    cornerHandles_ = {QRect(QPoint(a + 1, b), QPoint(a + HandleSize, b + HandleSize - 1)),
                      QRect(QPoint(w - a - HandleSize - 2, b), QPoint(w - a - 3, b + HandleSize - 1)),
                      QRect(QPoint(a + 1, h - b - HandleSize - 1), QPoint(a + HandleSize, h - b - 2)),
                      QRect(QPoint(w - a - HandleSize - 2, h - b - HandleSize - 1), QPoint(w - a - 3, h - b - 2))};
    if (!model_->backgroundEditMode())
        return;
    painter.setPen(FrameColor);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frameRect_.adjusted(0, 0, -1, -1));
    const QRect& f = frameRect_;
    const int right = f.right() - HandleSize + 1;
    const int bottom = f.bottom() - HandleSize + 1;
    const int rightStroke = f.right() - CornerStroke + 1;
    const int bottomStroke = f.bottom() - CornerStroke + 1;
    for (const QRect& stroke :
         {QRect(f.left(), f.top(), HandleSize, CornerStroke), QRect(f.left(), f.top(), CornerStroke, HandleSize),
          QRect(right, f.top(), HandleSize, CornerStroke), QRect(rightStroke, f.top(), CornerStroke, HandleSize),
          QRect(f.left(), bottomStroke, HandleSize, CornerStroke), QRect(f.left(), bottom, CornerStroke, HandleSize),
          QRect(right, bottomStroke, HandleSize, CornerStroke), QRect(rightStroke, bottom, CornerStroke, HandleSize)})
        painter.fillRect(stroke, FrameColor);
}

void ZoomWidget::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->localPos().toPoint();
    if (!textEditor_->isHidden())
        CommitTextEditor();

    if (model_->backgroundEditMode()) {
        if (!frameRect_.contains(pos))
            return;
        if (hitCode_ == HitInside) {
            moving_ = true;
            lastPos_ = pos;
            emit HideRemote(1);
        } else if (hitCode_ != HitNone) {
            resizingOrSlotDrag_ = true;
            lastPos_ = pos;
        }
        return;
    }

    const LayoutState& working = model_->working();
    // Only the five-slot custom layout is arranged by hand; elsewhere its slots are not on show.
    if (!working.isCustom())
        return;
    if (working.Style == 0) {
        for (int slot = 0; slot < SlotCount; ++slot) {
            if (working.customShow[0][slot] == -1 || !slotPickRect(slot).contains(pos))
                continue;
            resizingOrSlotDrag_ = true;
            draggedSlot_ = slot;
            setCursor(dragCursor("://skins/drag.png"));
            update();
            return;
        }
    }
    if (working.record.Show_[FreeText] != 1)
        return;
    if (textPickRect().contains(pos) && !working.record.String_[FreeText].isEmpty()) {
        textDrag_ = true;
        lastPos_ = pos;
        setCursor(dragCursor("://skins/drag2.png"));
        QWidget::mousePressEvent(event);
        update();
    }
}

void ZoomWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (!model_->backgroundEditMode())
        return;
    const QPoint pos = event->localPos().toPoint();
    if (moving_) {
        LayoutRecord& record = model_->workingRecord();
        // Kept within what a load accepts, or the layout would come back at 0 after a restart.
        record.XPt = qBound(-CoordinateLimit, record.XPt + pos.x() - lastPos_.x(), CoordinateLimit);
        record.YPt = qBound(-CoordinateLimit, record.YPt + pos.y() - lastPos_.y(), CoordinateLimit);
        lastPos_ = pos;
        update();
    } else if (resizingOrSlotDrag_) {
        resizeFrame(pos);
    } else {
        hover(pos);
    }
}

void ZoomWidget::hover(const QPoint& pos)
{
    static const Qt::CursorShape cornerCursors[] = {Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeBDiagCursor,
                                                    Qt::SizeFDiagCursor};
    for (int corner = 0; corner < int(cornerHandles_.size()); ++corner) {
        if (cornerHandles_[corner].contains(pos)) {
            hitCode_ = corner;
            setCursor(cornerCursors[corner]);
            return;
        }
    }
    const QRect& f = frameRect_;
    if (!f.contains(pos)) {
        hitCode_ = HitNone;
        setCursor(Qt::ArrowCursor);
        return;
    }
    if (pos.x() < f.left() + EdgeGrip)
        hitCode_ = HitLeft;
    else if (pos.x() >= f.right() - EdgeGrip && pos.x() < f.right())
        hitCode_ = HitRight;
    else if (pos.y() < f.top() + EdgeGrip)
        hitCode_ = HitTop;
    else if (pos.y() >= f.bottom() - EdgeGrip && pos.y() < f.bottom())
        hitCode_ = HitBottom;
    else
        hitCode_ = HitInside;
    switch (hitCode_) {
    case HitLeft:
    case HitRight:
        setCursor(Qt::SizeHorCursor);
        break;
    case HitTop:
    case HitBottom:
        setCursor(Qt::SizeVerCursor);
        break;
    default:
        setCursor(Qt::SizeAllCursor);
        break;
    }
}

// The crop frame narrows from the long sides only: top and bottom in landscape, left and right
// in portrait, never past the screen's own edge in the preview.
void ZoomWidget::resizeFrame(const QPoint& pos)
{
    const bool landscape = hor() == 0;
    const int code = hitCode_;
    int d = 0;
    bool acts = false;
    if (landscape) {
        if (code == HitTopLeft || code == HitTopRight || code == HitTop) {
            d = pos.y() - lastPos_.y();
            acts = true;
        } else if (code == HitBottomLeft || code == HitBottomRight || code == HitBottom) {
            d = lastPos_.y() - pos.y();
            acts = true;
        }
    } else {
        if (code == HitTopLeft || code == HitBottomLeft || code == HitLeft) {
            d = pos.x() - lastPos_.x();
            acts = true;
        } else if (code == HitTopRight || code == HitBottomRight || code == HitRight) {
            d = lastPos_.x() - pos.x();
            acts = true;
        }
    }
    lastPos_ = pos;
    if (!acts)
        return;

    const int upper = landscape ? origin().y() : origin().x();
    const int lower = landscape ? 1 : 0;
    int amount = landscape ? model_->landscapeResize() : model_->portraitResize();
    bool redraw = false;
    if (amount >= upper && d > 0) {
        amount = upper;
    } else if (d <= 0 && amount < 2) {
        amount = 1;
    } else {
        amount = qBound(lower, amount + d, upper);
        redraw = true;
    }
    if (landscape)
        model_->setLandscapeResize(amount);
    else
        model_->setPortraitResize(amount);
    if (redraw)
        update();
}

void ZoomWidget::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->localPos().toPoint();
    const bool backgroundEdit = model_->backgroundEditMode();
    if (backgroundEdit) {
        model_->pushSnapshot();
    } else if (resizingOrSlotDrag_) {
        for (int slot = 0; slot < SlotCount; ++slot) {
            if (slotDropRect(slot).contains(pos)) {
                model_->swapSlots(slot, draggedSlot_);
                break;
            }
        }
    } else if (textDrag_) {
        for (int row = 0; row < StringRowCount; ++row) {
            if (mapRect(compose::stringRowRect(hor(), row)).contains(pos)) {
                model_->setCurRectId(row);
                model_->pushSnapshot();
                break;
            }
        }
    }
    if (!backgroundEdit)
        setCursor(Qt::ArrowCursor);
    emit HideRemote(0);
    moving_ = false;
    resizingOrSlotDrag_ = false;
    textDrag_ = false;
    update();
}

void ZoomWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    const LayoutState& working = model_->working();
    if (!working.isCustom() || working.record.Show_[FreeText] != 1)
        return;
    const QRect row = mapRect(compose::stringRowRect(hor(), working.curRectId), 0, 0, 3 * scale());
    if (row.contains(event->localPos().toPoint()))
        ShowTextEditor();
}

void ZoomWidget::wheelEvent(QWheelEvent* event)
{
    if (!model_->backgroundEditMode()) {
        event->ignore();
        return;
    }
    LayoutRecord& record = model_->workingRecord();
    const int xZoom = record.XZoom, yZoom = record.YZoom;
    // Within what a load accepts; never smaller than the fitted size, which would show black
    // borders on the screen.
    if (event->angleDelta().y() > 0) {
        record.XZoom = std::max(record.XZoom - ZoomStep, -ZoomLimit);
        record.YZoom = std::max(record.YZoom - ZoomStep, -ZoomLimit);
    } else if (record.XZoom < 0) {
        record.XZoom = std::min(record.XZoom + ZoomStep, ZoomLimit);
        record.YZoom = std::min(record.YZoom + ZoomStep, ZoomLimit);
    }
    if (record.XZoom == xZoom && record.YZoom == yZoom)
        return;
    update();
    model_->pushSnapshot();
}

bool ZoomWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == textEditor_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // One line of text: Return ends the entry instead of breaking the line.
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            CommitTextEditor();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace korvo
