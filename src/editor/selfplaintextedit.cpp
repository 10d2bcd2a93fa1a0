#include "editor/selfplaintextedit.h"

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
    setPlainText(text.left(maxLength_));
    moveCursor(QTextCursor::End);
}

} // namespace korvo
