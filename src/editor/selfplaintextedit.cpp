// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/selfplaintextedit.h"

#include <QDebug>
#include <QFocusEvent>
#include <QTextCursor>

namespace korvo {

SelfPlainTextEdit::SelfPlainTextEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, &SelfPlainTextEdit::enforceMaxLength);
}

void SelfPlainTextEdit::enforceMaxLength()
{
    const QString text = toPlainText();
    if (text.size() <= maxLength_)
        return;
    qDebug("The free text of %d characters is cut to %d.\n", int(text.size()), maxLength_);
    setPlainText(text.left(maxLength_));
    moveCursor(QTextCursor::End);
}

void SelfPlainTextEdit::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    // A context menu or a second window taking focus for a moment is not the end of the entry.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        emit editingFinished();
}

} // namespace korvo
