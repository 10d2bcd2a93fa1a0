// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;

namespace korvo {

class TavoPushButton;

// The full-window confirmation: a centred panel with an optional title line, the message and
// OK / Cancel. The answer is the dialog's accept or reject result.
class ExitMessageBox : public QDialog
{
    Q_OBJECT
public:
    ExitMessageBox(int callerValue, const QString& text, const QPoint& position, QWidget* parent, bool title,
                   Qt::WindowFlags flags);

    // Whatever the caller wanted to remember with this question; the dialog never reads it.
    int callerValue() const { return callerValue_; }

    // The title line names what the question is about.
    void setTitle(const QString& title);
    // Buttons that name the action. No reject text: a notice, answered with its single button.
    void setAnswers(const QString& acceptText, const QString& rejectText);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int callerValue_;
    QPixmap background_;
    QLabel* title_ = nullptr;
    TavoPushButton* ok_ = nullptr;
    TavoPushButton* cancel_ = nullptr;
};

// The small question box, centred on a rectangle of its parent.
class TavoMessageBox : public QDialog
{
    Q_OBJECT
public:
    TavoMessageBox(const QString& text, const QRect& rect, QWidget* parent, Qt::WindowFlags flags);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap background_;
};

} // namespace korvo
