// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

namespace korvo {

// Draws the delete mark on the user's own pictures in the picture list and reports a release
// on it. The add entry (row 0) and the eleven built-in pictures at the end carry no mark.
class ExitItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit ExitItemDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

signals:
    void handleDeleteClick(int iRow);

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    QPixmap deleteMark_;
};

} // namespace korvo
