// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QWidget>

namespace korvo {

// A combo box that reports a left press before its pop-up opens.
class PressCombobox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// A plain container for the preview area.
class PhotoArea : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
};

// A list that reports a right press after the press has made the row under it current.
class MyListWidget : public QListWidget
{
    Q_OBJECT
public:
    using QListWidget::QListWidget;

signals:
    void rightClick();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace korvo
