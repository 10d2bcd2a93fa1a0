// SPDX-License-Identifier: GPL-3.0-or-later
// korvo-samplepicture OUT.png: the 320 x 170 sample picture for a first look at the screen.

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvo-samplepicture OUT.png\n");
        return 1;
    }
    QImage picture(320, 170, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 320, 170);
    sky.setColorAt(0.0, QColor(0x12, 0x1c, 0x4a));
    sky.setColorAt(0.55, QColor(0x0f, 0x76, 0x8c));
    sky.setColorAt(1.0, QColor(0xf2, 0x8c, 0x28));
    painter.fillRect(picture.rect(), sky);

    // A soft band across the picture shows how smooth the screen's 16-bit colours are.
    QLinearGradient band(0, 120, 320, 40);
    band.setColorAt(0.0, QColor(255, 255, 255, 0));
    band.setColorAt(0.5, QColor(255, 255, 255, 60));
    band.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(picture.rect(), band);

    QFont title(QStringLiteral("Noto Sans"), 34, QFont::Bold);
    painter.setFont(title);
    const QRect titleBox(0, 40, 320, 60);
    painter.setPen(QColor(0, 0, 0, 110));
    painter.drawText(titleBox.translated(2, 2), Qt::AlignCenter, QStringLiteral("Korvo TFT"));
    painter.setPen(Qt::white);
    painter.drawText(titleBox, Qt::AlignCenter, QStringLiteral("Korvo TFT"));

    painter.setFont(QFont(QStringLiteral("Noto Sans"), 11));
    painter.setPen(QColor(255, 255, 255, 210));
    painter.drawText(QRect(0, 104, 320, 24), Qt::AlignCenter, QStringLiteral("320 × 170 · USB 04D9:FD01"));
    painter.end();

    if (!picture.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "korvo-samplepicture: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
