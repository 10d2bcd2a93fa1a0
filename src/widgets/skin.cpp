// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/skin.h"

#include <QDebug>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cmath>

namespace korvo {

const QColor LightTextColor(236, 241, 248);
const QColor DarkTextColor(11, 15, 24);

namespace {

// Relative luminance as the contrast of two colours is measured.
double luminance(const QColor& color)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.red()) + 0.7152 * channel(color.green()) + 0.0722 * channel(color.blue());
}

} // namespace

QColor textColorOn(const QColor& background)
{
    const double b = luminance(background);
    const double light = (luminance(LightTextColor) + 0.05) / (b + 0.05);
    const double dark = (b + 0.05) / (luminance(DarkTextColor) + 0.05);
    return light >= dark ? LightTextColor : DarkTextColor;
}

QColor middleColor(const QPixmap& picture)
{
    if (picture.isNull())
        return QColor();
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRect middle(image.width() / 3, image.height() / 3, std::max(1, image.width() / 3),
                       std::max(1, image.height() / 3));
    qint64 red = 0, green = 0, blue = 0, count = 0;
    for (int y = middle.top(); y <= middle.bottom(); ++y) {
        for (int x = middle.left(); x <= middle.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            red += qRed(pixel);
            green += qGreen(pixel);
            blue += qBlue(pixel);
            ++count;
        }
    }
    return QColor(int(red / count), int(green / count), int(blue / count));
}

QPixmap loadSkin(const QString& path)
{
    QPixmap pixmap;
    if (path.isEmpty())
        return pixmap;
    // On a HiDPI screen the pictures drawn at twice the size, where there are some.
    const qreal ratio = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? qApp->devicePixelRatio() : 1;
    if (ratio > 1 && path.endsWith(QLatin1String(".png"))) {
        const QString doubled = path.chopped(4) + QLatin1String("@2x.png");
        if (QFile::exists(doubled) && pixmap.load(doubled)) {
            pixmap.setDevicePixelRatio(2);
            return pixmap;
        }
    }
    if (!pixmap.load(path))
        qWarning("Unable to load picture %s.\n", qUtf8Printable(path));
    return pixmap;
}

} // namespace korvo
