// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/exititemdelegate.h"

#include "widgets/picturelist.h"
#include "widgets/skin.h"

#include <QMouseEvent>
#include <QPainter>

namespace korvo {

namespace {

constexpr int MarkSize = 18;

bool isUserRow(const QModelIndex& index)
{
    return index.isValid() && index.row() != 0 && index.row() <= index.model()->rowCount() - PictureList::FixedRowCount;
}

// The mark sits in the item's top right corner, 2 pixels in from the top and 3 from the right.
QRect markRect(const QRect& item)
{
    return QRect(item.right() - 20, item.top() + 2, MarkSize, MarkSize);
}

} // namespace

ExitItemDelegate::ExitItemDelegate(QObject* parent)
    : QStyledItemDelegate(parent), deleteMark_(loadSkin("://skins/delete.png"))
{
}

void ExitItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (!isUserRow(index))
        return;
    const QRect target = markRect(option.rect);
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    if (deleteMark_.isNull()) {
        // Without its picture the mark is still drawn, as a plain red cross on a disc.
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0xe5, 0x39, 0x35));
        painter->drawEllipse(target);
        painter->setPen(QPen(Qt::white, 2));
        painter->drawLine(target.topLeft() + QPoint(5, 5), target.bottomRight() - QPoint(5, 5));
        painter->drawLine(target.topRight() + QPoint(-5, 5), target.bottomLeft() + QPoint(5, -5));
    } else {
        const QPixmap mark = deleteMark_.scaled(MarkSize, MarkSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter->drawPixmap(target.topLeft(), mark);
    }
    painter->restore();
}

bool ExitItemDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                   const QModelIndex& index)
{
    if (event->type() == QEvent::MouseButtonRelease && isUserRow(index)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // A right press asks on its own already.
        if (mouse->button() == Qt::LeftButton && markRect(option.rect).contains(mouse->localPos().toPoint())) {
            emit handleDeleteClick(index.row());
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

} // namespace korvo
