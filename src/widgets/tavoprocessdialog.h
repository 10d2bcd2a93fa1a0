// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
class QMovie;

namespace korvo {

// The small modal wait dialog that covers the main window while an apply runs.
class TavoProcessDialog : public QDialog
{
    Q_OBJECT
public:
    // Centred on `parent` when there is one.
    explicit TavoProcessDialog(QWidget* parent = nullptr);

public slots:
    void slotProcessDlg();

private:
    QPixmap pixmap_;
    QLabel* label_ = nullptr;
    QMovie* movie_ = nullptr;
};

} // namespace korvo
