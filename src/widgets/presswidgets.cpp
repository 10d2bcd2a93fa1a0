// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/presswidgets.h"

#include <QMouseEvent>

namespace korvo {

void PressCombobox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
    QComboBox::mousePressEvent(event);
}

void MyListWidget::mousePressEvent(QMouseEvent* event)
{
    QListWidget::mousePressEvent(event);
    if (event->button() == Qt::RightButton)
        emit rightClick();
}

} // namespace korvo
