// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/colorbar.h"
#include "compose/layouttables.h"

#include "config/layoutrecord.h"
#include "widgets/skin.h"
#include "widgets/tavopushbutton.h"

#include <QPainter>

namespace korvo {

namespace {
const char* const SwatchPictures[TextColorCount] = {
    "://skins/white.png",  "://skins/black.png", "://skins/red.png",
    "://skins/yellow.png", "://skins/blue.png",  "://skins/green.png",
};
} // namespace

TavoPushButton* makeColorSwatch(QWidget* parent, int index, const QRect& geometry)
{
    auto* swatch = new TavoPushButton(parent);
    swatch->setObjectName(QString("swatch%1").arg(index));
    swatch->setGeometry(geometry);
    const QString picture = QString::fromLatin1(SwatchPictures[index]);
    swatch->setPictures(picture, picture, picture);
    swatch->setFillColor(QColor::fromRgba(compose::textColorAt(index)));
    return swatch;
}

ColorBar::ColorBar(QWidget* parent) : QWidget(parent), background_(loadSkin("://skins/Union.png"))
{
    setFixedSize(163, 49);
    setAttribute(Qt::WA_TranslucentBackground);
    for (int i = 0; i < TextColorCount; ++i) {
        swatches_[i] = makeColorSwatch(this, i, QRect(14 + 23 * i, 17, 20, 22));
        connect(swatches_[i], &QAbstractButton::clicked, this, &ColorBar::btn_clicked);
    }
}

QList<QWidget*> ColorBar::focusChain() const
{
    return QList<QWidget*>(swatches_.begin(), swatches_.end());
}

void ColorBar::btn_clicked()
{
    for (int i = 0; i < TextColorCount; ++i) {
        if (sender() == swatches_[i]) {
            emit SendFontColor(quint8(i));
            hide();
            return;
        }
    }
}

void ColorBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!background_.isNull()) {
        painter.drawPixmap(rect(), background_);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2b, 0x2e, 0x35, 0xf0));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0, 8, 0, 0), 6, 6);
}

} // namespace korvo
