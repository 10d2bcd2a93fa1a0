// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>

namespace korvo {

// The in-place editor of the free text. Text beyond maxLength characters is cut off as it is
// typed or pasted rather than refused, so the user sees at once where the line ends.
class SelfPlainTextEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit SelfPlainTextEdit(QWidget* parent = nullptr);

    int maxLength() const { return maxLength_; }
    void setMaxLength(int length) { maxLength_ = length; }
    // Cuts the present text to maxLength, leaving the cursor at its end.
    void enforceMaxLength();

signals:
    // The user left the editor; its owner then takes the text over.
    void editingFinished();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    int maxLength_ = 40;
};

} // namespace korvo
