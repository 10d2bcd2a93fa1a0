// SPDX-License-Identifier: GPL-3.0-or-later
#include "artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>
#include <cstdint>

namespace themeart {

using namespace korvo;

namespace {

// One accent per figure, the same in every theme.
QColor accent(int kind)
{
    switch (kind) {
    case CpuTemperature:
        return QColor(255, 138, 61);
    case CpuLoad:
        return QColor(54, 194, 245);
    case MemoryLoad:
        return QColor(157, 123, 255);
    case CpuPower:
        return QColor(58, 200, 163);
    default:
        return QColor(120, 170, 255);
    }
}

// A small fixed generator, so that every run draws the same stars.
struct Random
{
    uint32_t state;
    double next()
    {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / double(1u << 24);
    }
};

void fillBase(QPainter& p, const QSize& size, QColor top, QColor bottom)
{
    QLinearGradient g(0, 0, size.width() * 0.3, size.height());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(QRect(QPoint(0, 0), size), g);
}

void glow(QPainter& p, QPointF centre, double radius, QColor colour)
{
    QRadialGradient g(centre, radius);
    colour.setAlpha(70);
    g.setColorAt(0, colour);
    colour.setAlpha(0);
    g.setColorAt(1, colour);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
}

void stars(QPainter& p, const QSize& size, int count, double maxY, uint32_t seed)
{
    Random random{seed};
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const QPointF at(random.next() * size.width(), random.next() * maxY);
        const int alpha = 60 + int(random.next() * 150);
        p.setBrush(QColor(255, 255, 255, alpha));
        const double r = 0.4 + random.next() * 0.8;
        p.drawEllipse(at, r, r);
    }
}

void card(QPainter& p, const QRect& rect, QColor colour, bool barOnTop)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 9, 9);
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0, QColor(255, 255, 255, 26));
    fill.setColorAt(1, QColor(255, 255, 255, 10));
    p.fillPath(path, fill);
    p.strokePath(path, QPen(QColor(255, 255, 255, 40), 1));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    if (barOnTop)
        p.drawRoundedRect(QRectF(rect.left() + 14, rect.top() + 2, rect.width() - 28, 3), 1.5, 1.5);
    else
        p.drawRoundedRect(QRectF(rect.left() + 2, rect.top() + 14, 3, rect.height() - 28), 1.5, 1.5);
}

// The label box drawn into the picture itself where the layout has no box picture for it.
void labelPill(QPainter& p, const QRect& rect)
{
    p.setPen(QPen(QColor(255, 255, 255, 80), 1));
    p.setBrush(QColor(255, 255, 255, 30));
    p.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), rect.height() / 2.0, rect.height() / 2.0);
}

void divider(QPainter& p, int y, int width)
{
    QLinearGradient g(0, 0, width, 0);
    g.setColorAt(0, QColor(255, 255, 255, 0));
    g.setColorAt(0.5, QColor(255, 255, 255, 60));
    g.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRect(8, y, width - 16, 1), g);
}

void mountains(QPainter& p, const QSize& size, double base, double height, QColor colour, uint32_t seed)
{
    Random random{seed};
    QPainterPath path;
    path.moveTo(0, size.height());
    path.lineTo(0, base);
    const int steps = 9;
    for (int i = 1; i <= steps; ++i) {
        const double x = size.width() * i / double(steps);
        const double peak = base - height * (0.3 + random.next() * 0.7);
        path.lineTo(x - size.width() / (2.0 * steps), peak);
        path.lineTo(x, base - height * random.next() * 0.3);
    }
    path.lineTo(size.width(), size.height());
    path.closeSubpath();
    p.fillPath(path, colour);
}

// The dial behind the power figure. The picture never changes, so it shows no level: an even
// ring and its ticks, which cannot be read as a reading.
void gauge(QPainter& p, const QPointF& centre, double radius)
{
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(58, 200, 163, 60), 8, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(box, -30 * 16, 240 * 16);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    for (int i = 0; i <= 12; ++i) {
        const double a = qDegreesToRadians(double(-30 + i * 20));
        const QPointF dir(std::cos(a), -std::sin(a));
        p.drawLine(centre + dir * (radius - 10), centre + dir * (radius - 7));
    }
}

} // namespace

QImage drawBackground(int themeId, int hor, const Design& design)
{
    const QSize size = hor == 1 ? QSize(170, 320) : QSize(320, 170);
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const LayoutRecord& r = design.record;
    const int headerLine = hor == 1 ? 42 : 37;
    switch (themeId) {
    case 0:
        fillBase(p, size, QColor(20, 30, 58), QColor(7, 10, 22));
        glow(p, QPointF(size.width() * 0.85, 0), size.width() * 0.6, QColor(54, 120, 245));
        glow(p, QPointF(0, size.height()), size.width() * 0.5, QColor(157, 80, 255));
        divider(p, headerLine, size.width());
        for (const Panel& panel : design.panels)
            card(p, panel.rect, accent(panel.kind), false);
        labelPill(p, r.ShowRect_[CpuPower]);
        break;
    case 1: {
        QLinearGradient sky(0, 0, 0, size.height());
        sky.setColorAt(0, QColor(16, 20, 56));
        sky.setColorAt(0.55, QColor(88, 52, 110));
        sky.setColorAt(0.85, QColor(214, 112, 90));
        sky.setColorAt(1, QColor(240, 160, 100));
        p.fillRect(image.rect(), sky);
        stars(p, size, hor == 1 ? 70 : 90, size.height() * 0.55, 7u);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 240, 220, 230));
        const QPointF moon(size.width() * 0.82, size.height() * 0.12);
        glow(p, moon, 26, QColor(255, 230, 200));
        p.setBrush(QColor(255, 244, 228));
        p.drawEllipse(moon, 7, 7);
        mountains(p, size, size.height() * 0.86, size.height() * 0.22, QColor(58, 36, 78), 11u);
        mountains(p, size, size.height() * 0.97, size.height() * 0.16, QColor(24, 16, 40), 23u);
        for (const Panel& panel : design.panels) {
            p.setPen(QPen(QColor(255, 255, 255, 50), 1));
            p.setBrush(QColor(10, 8, 30, 120));
            p.drawRoundedRect(QRectF(panel.rect).adjusted(0.5, 0.5, -0.5, -0.5), 14, 14);
        }
        break;
    }
    case 2: {
        fillBase(p, size, QColor(14, 34, 40), QColor(6, 12, 18));
        glow(p, QPointF(size.width(), size.height()), size.width() * 0.7, QColor(58, 200, 163));
        divider(p, headerLine, size.width());
        for (const Panel& panel : design.panels) {
            card(p, panel.rect, accent(panel.kind), false);
            if (panel.kind == CpuPower) {
                const QRect& value = r.ShowStringRect_[CpuPower];
                gauge(p, QPointF(value.center().x() + 0.5, value.center().y() - 2), hor == 1 ? 62 : 56);
            }
        }
        labelPill(p, r.ShowRect_[CpuPower]);
        break;
    }
    default:
        fillBase(p, size, QColor(12, 40, 52), QColor(6, 12, 24));
        glow(p, QPointF(0, 0), size.width() * 0.6, QColor(54, 194, 245));
        for (const Panel& panel : design.panels) {
            if (panel.kind == Time) {
                card(p, panel.rect, QColor(54, 194, 245), true);
                const QRect& date = r.ShowStringRect_[Date];
                p.fillRect(QRect(date.left() + 20, date.top() - 6, date.width() - 40, 1), QColor(255, 255, 255, 60));
            } else {
                card(p, panel.rect, accent(panel.kind), true);
            }
        }
        break;
    }
    return image;
}

QImage drawLabelBox()
{
    QImage image(124, 36, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    labelPill(p, image.rect());
    return image;
}

} // namespace themeart
