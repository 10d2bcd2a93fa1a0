// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtTest>

// A picture of equal blocks, colours given row by row.
inline void savePicture(const QTemporaryDir& folder, const QString& name, int width, int height, int columns,
                        const QVector<QRgb>& colours)
{
    QImage picture(width, height, QImage::Format_RGB32);
    const int rows = colours.size() / columns;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, colours[y * rows / height * columns + x * columns / width]);
    QVERIFY(picture.save(folder.filePath(name)));
}

inline void saveHex(const QTemporaryDir& folder, const QString& name, const QByteArray& hex)
{
    QFile file(folder.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray::fromHex(hex)) > 0);
}
