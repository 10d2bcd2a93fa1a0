// SPDX-License-Identifier: GPL-3.0-or-later
#include "compose/previewgeometry.h"

#include "picture/picturereader.h"

#include <QPainter>

#include <cmath>

namespace korvo::compose {

namespace {

QSize frameSize(int hor)
{
    return hor == 1 ? QSize(170, 320) : QSize(433, 230);
}

} // namespace

QSize editorSize(int hor)
{
    return hor == 1 ? PortraitEditorSize : LandscapeEditorSize;
}

QSize deviceSize(int hor)
{
    return hor == 1 ? QSize(170, 320) : QSize(320, 170);
}

double previewScale(int hor)
{
    return hor == 1 ? 1.0 : 1.35;
}

QRect previewFrame(int hor, QSize widgetSize)
{
    const QSize size = frameSize(hor);
    if (hor == 1)
        return QRect(QPoint((widgetSize.width() - size.width()) / 2, 0), size);
    return QRect(QPoint(1, (widgetSize.height() - size.height()) / 2), size);
}

QRect backgroundRect(int hor, QSize pictureSize, QSize widgetSize, const LayoutRecord& record)
{
    if (pictureSize.isEmpty())
        return QRect();
    const QSize canvas = frameSize(hor);
    const double s = previewScale(hor);
    const double r = double(pictureSize.width()) / pictureSize.height();
    QSize scaled;
    int insetX = 0;
    int insetY = 0;
    int drawnW = 0;
    int drawnH = 0;
    if (r <= double(canvas.width()) / canvas.height()) {
        scaled = QSize(canvas.width(), int(std::lround(canvas.width() / r)));
        insetX = int(std::lround(s * record.XZoom));
        insetY = int(std::lround(s * record.XZoom / r));
        drawnW = canvas.width() - 2 * insetX;
        drawnH = int(std::lround(drawnW / r));
    } else {
        scaled = QSize(int(std::lround(canvas.height() * r)), canvas.height());
        insetY = int(std::lround(s * record.YZoom));
        insetX = int(std::lround(s * r * record.YZoom));
        drawnH = canvas.height() - 2 * insetY;
        drawnW = int(std::lround(drawnH * r));
    }
    const int left = (widgetSize.width() - scaled.width()) / 2 + record.XPt + insetX;
    const int top = (widgetSize.height() - scaled.height()) / 2 + record.YPt + insetY;
    return QRect(left, top, drawnW, drawnH);
}

QImage fittedBackground(int hor, const QImage& picture)
{
    if (picture.isNull())
        return picture;
    const QSize canvas = frameSize(hor);
    const double r = double(picture.width()) / picture.height();
    if (r <= double(canvas.width()) / canvas.height())
        return picture.scaledToWidth(canvas.width(), Qt::SmoothTransformation);
    return picture.scaledToHeight(canvas.height(), Qt::SmoothTransformation);
}

QImage backgroundWithBoxes(const LayoutState& state, const QImage& picture)
{
    const LayoutRecord& record = state.record;
    if (state.isCustom() || !record.StringPixmap.isEmpty() || record.StringPixmapS.isEmpty() || picture.isNull())
        return picture;
    // Drawn into boxes of at most the screen's size.
    const QImage box = korvo::picture::readWithin(record.StringPixmapS, QSize(512, 512));
    if (box.isNull())
        return picture;
    QImage result = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&result);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int kinds[] = {CpuTemperature, CpuLoad, MemoryLoad, FanSpeed, CpuPower};
    for (int kind : kinds) {
        if (kind == CpuPower && state.ThemeID != 3)
            continue;
        const QRect& rect = record.ShowRect_[kind];
        if (rect.isValid())
            painter.drawImage(rect, box);
    }
    return result;
}

} // namespace korvo::compose
