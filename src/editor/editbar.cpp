// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editbar.h"
#include "compose/layouttables.h"

#include "config/layoutrecord.h"
#include "editor/colorbar.h"
#include "widgets/presswidgets.h"
#include "widgets/skin.h"
#include "widgets/tavopushbutton.h"

#include <QDebug>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStyledItemDelegate>

namespace korvo {

namespace {

const char* const IndicatorPictures[TextColorCount] = {
    "://skins/font_white.png",  "://skins/font_black.png", "://skins/font_orange.png",
    "://skins/font_yellow.png", "://skins/font_blue.png",  "://skins/font_green.png",
};

TavoPushButton* makeBarButton(QWidget* parent, const char* objectName, const QRect& geometry, const QString& normal,
                              const QString& selected, const QString& iconNormal, const QString& iconSelected)
{
    auto* button = new TavoPushButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setGeometry(geometry);
    button->setPictures(normal, selected, selected);
    button->setIcons(iconNormal, iconSelected);
    return button;
}

} // namespace

EditBar::EditBar(QWidget* parent) : QWidget(parent), background_(loadSkin("://skins/edit_bk.png"))
{
    setFixedSize(433, 40);

    indicator_ = new TavoPushButton(this);
    indicator_->setObjectName("colorIndicator");
    indicator_->setGeometry(inclusiveRect(19, 9, 40, 30));
    // Opened from the keyboard with Enter as well as Space.
    indicator_->setAutoDefault(true);
    ControlLabelColor(0);

    typeIcon_ = new QLabel(this);
    typeIcon_->setObjectName("typeIcon");
    typeIcon_->setGeometry(inclusiveRect(23, 11, 40, 29));
    typeIcon_->setPixmap(loadSkin("://skins/icon_type_w.png"));
    // The icon lies over the indicator; presses must still reach the indicator.
    typeIcon_->setAttribute(Qt::WA_TransparentForMouseEvents);

    sizeList_ = new PressCombobox(this);
    sizeList_->setObjectName("sizeList");
    sizeList_->setGeometry(inclusiveRect(42, 9, 109, 30));
    sizeList_->setFont(QFont(FontFamily));
    // The style's own item painting ignores the colours below in the pop-up; this one keeps them.
    sizeList_->setItemDelegate(new QStyledItemDelegate(sizeList_));
    // Dark like the bar it stands on, its pop-up too, with the light text of the skin.
    sizeList_->setStyleSheet(
        QStringLiteral("QComboBox{color:%1;background:#242e44;border:1px solid #3a4660;border-radius:4px;"
                       "padding-left:6px;}"
                       "QComboBox:focus{border-color:%1;}"
                       "QComboBox QAbstractItemView{color:%1;background:#1b2335;outline:0;"
                       "selection-background-color:#1d5f8a;selection-color:%1;}"
                       "QComboBox QAbstractItemView::item{color:%1;min-height:20px;}")
            .arg(LightTextColor.name()));

    swatchPlate_ = new QLabel(this);
    swatchPlate_->setObjectName("swatchPlate");
    swatchPlate_->setGeometry(inclusiveRect(40, 6, 181, 33));
    swatchPlate_->setAutoFillBackground(true);
    QPalette platePalette = swatchPlate_->palette();
    platePalette.setColor(QPalette::Window, QColor(0x2b, 0x2e, 0x35));
    swatchPlate_->setPalette(platePalette);
    for (int i = 0; i < TextColorCount; ++i) {
        swatches_[i] = makeColorSwatch(this, i, QRect(43 + 23 * i, 9, 20, 21));
        connect(swatches_[i], &QAbstractButton::clicked, this, &EditBar::btn_clicked);
    }
    setSwatchGroupVisible(false);

    clip_ = makeBarButton(this, "btnClip", inclusiveRect(294, 5, 357, 34), "://skins/cut1.png", "://skins/cut2.png",
                          "://skins/icon_trim_n.png", "://skins/icon_trim_s.png");
    clip_->setToggleMode(true);
    back_ = makeBarButton(this, "btnBack", inclusiveRect(360, 5, 423, 34), "://skins/ret1.png", "://skins/ret2.png",
                          "://skins/icon_back_n.png", "://skins/icon_back_s.png");

    retranslate();

    connect(indicator_, &QAbstractButton::clicked, this, &EditBar::label_clicked);
    connect(sizeList_, &PressCombobox::clicked, this, &EditBar::combo_clicked);
    connect(sizeList_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &EditBar::slotFontsizeCurIndex);
    connect(clip_, &QAbstractButton::clicked, this, &EditBar::btn_clicked);
    connect(back_, &QAbstractButton::clicked, this, &EditBar::btn_clicked);
}

void EditBar::setSwatchGroupVisible(bool visible)
{
    swatchPlate_->setVisible(visible);
    for (TavoPushButton* swatch : swatches_)
        swatch->setVisible(visible);
}

QList<QWidget*> EditBar::focusChain() const
{
    QList<QWidget*> chain{indicator_, sizeList_};
    for (TavoPushButton* swatch : swatches_)
        chain << swatch;
    return chain << clip_ << back_;
}

void EditBar::resetClip()
{
    clip_->setButtonChecked(false);
}

void EditBar::retranslate()
{
    // Refilling must not look like a user choice, and must keep the size that is shown.
    const int current = sizeList_->currentIndex();
    const bool wasBlocked = sizeList_->blockSignals(true);
    sizeList_->clear();
    sizeList_->addItems({tr("大"), tr("中"), tr("小")});
    sizeList_->setToolTip(tr("文字大小"));
    sizeList_->setAccessibleName(tr("文字大小"));
    sizeList_->setCurrentIndex(current < 0 ? 0 : current);
    sizeList_->blockSignals(wasBlocked);
    indicator_->setToolTip(tr("文字颜色"));
    indicator_->setAccessibleName(tr("文字颜色"));
    clip_->setText(tr("裁剪"));
    back_->setText(tr("恢复默认"));
}

void EditBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void EditBar::slotFontsizeCurIndex(int iIndex)
{
    qDebug("slotFontsizeCurIndex = %d \n", iIndex);
    if (!notify_) {
        notify_ = true;
        return;
    }
    if (iIndex >= 0 && iIndex < TextSizeCount)
        emit SendFontSize(quint8(iIndex));
}

void EditBar::slotSetFontSize(int iIndex)
{
    if (iIndex < 0 || iIndex >= TextSizeCount) {
        qWarning("slotSetFontSize: no size %d.\n", iIndex);
        return;
    }
    // Only a real change of the list comes back through slotFontsizeCurIndex to re-arm the flag.
    if (iIndex == sizeList_->currentIndex())
        return;
    notify_ = false;
    sizeList_->setCurrentIndex(iIndex);
}

void EditBar::ControlLabelColor(quint8 iColor)
{
    if (iColor >= TextColorCount)
        return;
    // Without its picture the indicator shows the colour itself.
    const QString picture = QString::fromLatin1(IndicatorPictures[iColor]);
    indicator_->setPictures(picture, picture, picture);
    indicator_->setFillColor(QColor::fromRgba(compose::textColorAt(iColor)));
}

void EditBar::endClipping()
{
    clip_->setButtonChecked(false);
    emit SendEdit(0);
}

void EditBar::btn_clicked()
{
    QObject* button = sender();
    if (button == clip_) {
        emit SendEdit(clip_->buttonChecked() ? 1 : 0);
        return;
    }
    if (button == back_) {
        endClipping();
        emit SendImageReset();
        return;
    }
    for (int i = 0; i < TextColorCount; ++i) {
        if (button == swatches_[i]) {
            emit SendFontColor(quint8(i));
            ControlLabelColor(quint8(i));
            return;
        }
    }
}

void EditBar::label_clicked()
{
    emit ShowColorbarSignal(1);
    endClipping();
}

void EditBar::combo_clicked()
{
    emit SizeClicked();
    endClipping();
}

void EditBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (background_.isNull()) {
        painter.fillRect(rect(), QColor(0x2b, 0x2e, 0x35));
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), background_);
}

} // namespace korvo
