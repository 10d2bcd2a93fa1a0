// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/tavopushbutton.h"

#include "config/layoutrecord.h"
#include "widgets/skin.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>

namespace korvo {

namespace {
const QColor PlateColor(0x3a, 0x3d, 0x44);
const QColor SelectedPlateColor(0x2f, 0x80, 0xed);
constexpr int IconTextGap = 4;
} // namespace

TavoPushButton::TavoPushButton(QWidget* parent) : QPushButton(parent)
{
    QFont textFont(FontFamily);
    textFont.setPixelSize(14);
    setFont(textFont);
    // Reached with Tab; a click leaves the focus where the keyboard left it.
    setFocusPolicy(Qt::TabFocus);
}

void TavoPushButton::setPictures(const QString& normal, const QString& hover, const QString& pressed)
{
    pictures_ = {loadSkin(normal), loadSkin(hover), loadSkin(pressed)};
    for (size_t i = 0; i < pictures_.size(); ++i)
        pictureColors_[i] = middleColor(pictures_[i]);
    update();
}

void TavoPushButton::setIcons(const QString& normal, const QString& selected)
{
    icons_ = {loadSkin(normal), loadSkin(selected)};
    update();
}

void TavoPushButton::setFillColor(const QColor& color)
{
    fillColor_ = color;
    update();
}

void TavoPushButton::setToggleMode(bool toggle)
{
    toggle_ = toggle;
    setState(Normal);
}

void TavoPushButton::setButtonChecked(bool checked)
{
    checked_ = checked;
    setState(checked ? Pressed : Normal);
}

void TavoPushButton::setButtonEnabled(bool enabled)
{
    if (!enabled)
        setState(Disabled);
    else
        setState(toggle_ && checked_ ? Hover : Normal);
    setEnabled(enabled);
}

void TavoPushButton::setState(int state)
{
    state_ = state;
    update();
}

void TavoPushButton::enterEvent(QEvent* event)
{
    pressedJustNow_ = false;
    emit OverSignal(this, true);
    if (!toggle_ && isEnabled())
        setState(Hover);
    QPushButton::enterEvent(event);
}

void TavoPushButton::leaveEvent(QEvent* event)
{
    if (!pressedJustNow_)
        emit OverSignal(this, false);
    pressedJustNow_ = false;
    if (toggle_)
        setState(checked_ ? Pressed : Normal);
    else if (isEnabled())
        setState(Normal);
    QPushButton::leaveEvent(event);
}

void TavoPushButton::mousePressEvent(QMouseEvent* event)
{
    // Qt sends no mouse events to a disabled button, so none of this runs while it is disabled.
    if (event->button() == Qt::LeftButton) {
        emit mousePressSignal(event);
        checked_ = !checked_;
        pressedJustNow_ = true;
        setState(toggle_ && !checked_ ? Normal : Pressed);
        emit EnterSignal(this);
    }
    QPushButton::mousePressEvent(event);
}

void TavoPushButton::mouseReleaseEvent(QMouseEvent* event)
{
    pressedJustNow_ = false;
    if (!toggle_)
        setState(rect().contains(event->pos()) ? Hover : Normal);
    QPushButton::mouseReleaseEvent(event);
}

void TavoPushButton::focusInEvent(QFocusEvent* event)
{
    focusRing_ = event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
    QPushButton::focusInEvent(event);
}

void TavoPushButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool selected = state_ == Hover || state_ == Pressed;

    const int shown = state_ == Disabled ? Normal : state_;
    const QPixmap& picture = pictures_[shown];
    QColor background = selected ? SelectedPlateColor : PlateColor;
    if (!picture.isNull()) {
        background = pictureColors_[shown];
        painter.drawPixmap(rect(), picture);
    } else if (fillColor_.isValid()) {
        background = fillColor_;
        painter.setPen(selected ? QPen(LightTextColor, 2) : Qt::NoPen);
        painter.setBrush(fillColor_);
        painter.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(selected ? SelectedPlateColor : PlateColor);
        painter.drawRoundedRect(rect(), 4, 4);
    }

    const QPixmap& icon = icons_[selected ? 1 : 0];
    const QString label = text();
    const qreal ratio = icon.devicePixelRatio();
    const int iconWidth = icon.isNull() ? 0 : qRound(icon.width() / ratio);
    const int iconHeight = icon.isNull() ? 0 : qRound(icon.height() / ratio);
    // A caption longer than its button in some language is set smaller rather than cut.
    QFont captionFont = font();
    if (captionFont.pixelSize() <= 0)
        captionFont.setPixelSize(QFontInfo(captionFont).pixelSize());
    int textWidth = label.isEmpty() ? 0 : QFontMetrics(captionFont).horizontalAdvance(label);
    const int room = width() - iconWidth - (iconWidth > 0 ? IconTextGap : 0) - 4;
    while (textWidth > room && captionFont.pixelSize() > 9) {
        captionFont.setPixelSize(captionFont.pixelSize() - 1);
        textWidth = QFontMetrics(captionFont).horizontalAdvance(label);
    }
    painter.setFont(captionFont);
    const int gap = iconWidth > 0 && textWidth > 0 ? IconTextGap : 0;
    int x = (width() - iconWidth - gap - textWidth) / 2;
    if (iconWidth > 0) {
        painter.drawPixmap(QRect(x, (height() - iconHeight) / 2, iconWidth, iconHeight), icon);
        x += iconWidth + gap;
    }
    if (textWidth > 0) {
        // The caption takes whichever of the two text colours stands out from what is behind it.
        QColor color = textColorOn(background);
        if (state_ == Disabled)
            color.setAlpha(120);
        painter.setPen(color);
        painter.drawText(QRect(x, 0, textWidth, height()), Qt::AlignCenter, label);
    }
    if (hasFocus() && focusRing_) {
        // Light ring on a dark edge: it shows on the dark window and on the light pictures alike.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0x10, 0x14, 0x1c), 3));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
        painter.setPen(QPen(LightTextColor, 1.5));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
    }
}

} // namespace korvo
