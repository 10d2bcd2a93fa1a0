// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPixmap>
#include <QPushButton>

#include <array>

class QMouseEvent;

namespace korvo {

// The skinned push button of every window: a picture per state, an optional icon pair, a text
// and its own toggle, checked and enabled flags. Without pictures it paints a colour fill (the
// colour swatches) or, failing that, a plain rounded plate, so a missing skin never leaves a
// hole in the window.
class TavoPushButton : public QPushButton
{
    Q_OBJECT
public:
    enum State
    {
        Normal = 0,
        Hover = 1,
        Pressed = 2,
        Disabled = 3
    };

    explicit TavoPushButton(QWidget* parent = nullptr);

    // Pictures for the normal, hover and pressed states; the disabled state uses the normal one.
    void setPictures(const QString& normal, const QString& hover, const QString& pressed);
    // Icons drawn before the text: the first in the normal and disabled states, the second in
    // the hover and pressed states.
    void setIcons(const QString& normal, const QString& selected);
    // A round swatch of this colour, painted where no picture is at hand.
    void setFillColor(const QColor& color);

    void setToggleMode(bool toggle);
    bool toggleMode() const { return toggle_; }
    void setButtonChecked(bool checked);
    bool buttonChecked() const { return checked_; }
    void setButtonEnabled(bool enabled);

    int state() const { return state_; }

signals:
    void mousePressSignal(QMouseEvent* event);
    void EnterSignal(TavoPushButton* button);
    void OverSignal(TavoPushButton* button, bool over);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void setState(int state);

    std::array<QPixmap, 3> pictures_;
    std::array<QColor, 3> pictureColors_; // what a caption stands on, per picture
    std::array<QPixmap, 2> icons_;
    QColor fillColor_;
    int state_ = Normal;
    bool toggle_ = false;
    bool checked_ = false;
    // A press may open a dialog that takes the pointer away; the leave that follows is not the
    // user moving off the button.
    bool pressedJustNow_ = false;
    // The ring shows where the keyboard put the focus, not where the window's activation left it.
    bool focusRing_ = false;
};

} // namespace korvo
