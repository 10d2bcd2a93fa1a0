// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Private per-user folders, the known font and a virtual screen whose packets can be read back.

#include "compose/fonts.h"
#include "link/link.h"
#include "link/virtualscreen.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QTemporaryDir>
#include <QVector>
#include <QtTest>

#include <memory>

struct ScreenFixture
{
    QTemporaryDir home;
    std::unique_ptr<korvo::link::VirtualScreen> screen;

    bool start()
    {
        if (!home.isValid())
            return false;
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
        korvo::compose::installFontSubstitutions();
        screen = std::make_unique<korvo::link::VirtualScreen>();
        screen->setLogging(true);
        korvo::link::InitDeviceTable();
        return korvo::link::EnumerateScreens() == 0;
    }
};

inline QImage plainImage(QSize size, QRgb colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The position and size of every area packet in a write log, as the screen reads them.
inline QVector<QRect> sentAreas(const std::vector<QByteArray>& log)
{
    QVector<QRect> areas;
    for (const QByteArray& packet : log) {
        if (packet.size() < 9 || uint8_t(packet[1]) != 0x55 || uint8_t(packet[2]) != 0xA2)
            continue;
        const auto byte = [&packet](int i) { return int(uint8_t(packet[i])); };
        areas.append(QRect(byte(3) | byte(4) << 8, byte(5) | byte(6) << 8, byte(7), byte(8)));
    }
    return areas;
}

// One letter per packet of a write log: C clock, T clock after orientation, O orientation, A area,
// F a whole frame (its first chunk; the other 26 are left out).
inline QString packetLetters(const std::vector<QByteArray>& log)
{
    QString letters;
    for (const QByteArray& p : log) {
        if (p.size() < 5 || uint8_t(p[1]) != 0x55)
            continue;
        const uint8_t kind = uint8_t(p[2]), sub = uint8_t(p[3]);
        if (kind == 0xA1)
            letters += sub == 0xF1 ? 'O' : sub == 0xF2 ? 'C' : sub == 0xF3 ? 'T' : '?';
        else if (kind == 0xA2)
            letters += 'A';
        else if (kind == 0xA3 && uint8_t(p[4]) == 1)
            letters += 'F';
    }
    return letters;
}
