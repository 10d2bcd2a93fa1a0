// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/tavoprocessdialog.h"

#include "config/configstore.h"

#include <QBitmap>
#include <QLabel>
#include <QMovie>

namespace korvo {

TavoProcessDialog::TavoProcessDialog(QWidget* parent)
    : QDialog(parent), pixmap_(programDirPath() + QStringLiteral("/skin/process.png"))
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::Dialog);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(128, 128);
    if (pixmap_.isNull())
        qDebug("Unable to load the wait picture.\n");
    else
        setMask(pixmap_.mask());
    label_ = new QLabel(this);
    label_->setGeometry(0, 0, 128, 128);
    movie_ = new QMovie(QStringLiteral("://skins/loading.gif"), QByteArray(), this);
    label_->setMovie(movie_);
    movie_->start();
    if (parent) {
        const QRect area = parent->geometry();
        move(area.center() - rect().center());
    }
}

void TavoProcessDialog::slotProcessDlg()
{
    accept();
}

} // namespace korvo
