// SPDX-License-Identifier: GPL-3.0-or-later
#include "logcapture.h"
#include "picture/picturereader.h"
#include "testpictures.h"

#include <QImageWriter>
#include <QtTest>

#include <sys/stat.h>

class TestPictureReader : public QObject
{
    Q_OBJECT

    QTemporaryDir pictures;

private slots:
    void initTestCase()
    {
        // Red above or left of the middle, blue below or right of it.
        savePicture(pictures, "tall.png", 1, 20000, 1, {qRgb(255, 0, 0), qRgb(0, 0, 255)});
        savePicture(pictures, "wide.png", 100000, 1, 2, {qRgb(255, 0, 0), qRgb(0, 0, 255)});
        savePicture(pictures, "small.png", 3, 2, 1, {qRgb(255, 0, 0), qRgb(0, 0, 255)});
        savePicture(pictures, "big.png", 3000, 1500, 2, {qRgb(255, 0, 0), qRgb(0, 0, 255)});
        saveHex(pictures, "canvas.gif",
                "474946383961"
                "00fff900"
                "800000ffffff000000"                                 // 65280 x 249 canvas
                "21f90401000000002c00000000010001000002024401003b"); // a 1 x 1 frame
        saveHex(pictures, "pixels.png",
                "89504e470d0a1a0a0000000d49484452"   // signature, IHDR
                "0000138800000fa00802000000997b617d" // 5000 x 4000 RGB, CRC
                "000000004944415435af061e"           // empty IDAT
                "0000000049454e44ae426082");         // IEND
        // A small progressive JPEG whose frame header then claims 16384 x 16384 pixels: decoded at
        // an eighth its pixels would take 16 MB, its coefficients take 512 MB.
        QBuffer jpeg;
        QImageWriter writer(&jpeg, "jpeg");
        writer.setProgressiveScanWrite(true);
        QImage small(16, 16, QImage::Format_RGB32);
        small.fill(Qt::gray);
        QVERIFY(jpeg.open(QIODevice::WriteOnly) && writer.write(small));
        QByteArray progressive = jpeg.data();
        const int frame = progressive.indexOf("\xFF\xC2");
        QVERIFY(frame > 0);
        progressive.replace(frame + 5, 4, QByteArray::fromHex("40004000"));
        saveHex(pictures, "progressive.jpg", progressive.toHex());
        QCOMPARE(mkfifo(QFile::encodeName(pictures.filePath("fifo")).constData(), 0600), 0);
    }

    // What the picture reader gives, or why it refuses, the reason also logged in one line.
    void bounded_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("scaled"); // readWithin, else readAtMost
        QTest::addColumn<QSize>("bound");
        QTest::addColumn<QSize>("size"); // empty: refused
        QTest::addColumn<QString>("why");
        QTest::newRow("FIFO") << "fifo" << true << QSize(2048, 2048) << QSize() << "it is not a regular file";
        QTest::newRow("1 x 20000 strip cut to its centre")
            << "tall.png" << true << QSize(2048, 2048) << QSize(1, 8) << "";
        QTest::newRow("100000 x 1 strip cut to its centre")
            << "wide.png" << true << QSize(2048, 2048) << QSize(8, 1) << "";
        QTest::newRow("large picture decoded scaled")
            << "big.png" << true << QSize(2048, 2048) << QSize(2048, 1024) << "";
        QTest::newRow("small picture never scaled up") << "small.png" << true << QSize(2048, 2048) << QSize(3, 2) << "";
        QTest::newRow("5000 x 4000 declared: 80 MB decoded, refused before decoding")
            << "pixels.png" << true << QSize(2048, 2048) << QSize() << "it is 5000 x 4000 pixels, too large to decode";
        QTest::newRow("progressive 16384 x 16384 decoded at an eighth")
            << "progressive.jpg" << true << QSize(2048, 2048) << QSize()
            << "it is 16384 x 16384 pixels, too large to decode progressively";
        QTest::newRow("GIF canvas larger than its frame") << "canvas.gif" << false << QSize(255, 255) << QSize()
                                                          << "it is 65280 x 249 pixels, more than 255 x 255 pixels";
        QTest::newRow("as it is, within the bound") << "small.png" << false << QSize(3, 2) << QSize(3, 2) << "";
        QTest::newRow("as it is, beyond the bound")
            << "small.png" << false << QSize(2, 2) << QSize() << "it is 3 x 2 pixels, more than 2 x 2 pixels";
    }

    void bounded()
    {
        QFETCH(QString, file);
        QFETCH(bool, scaled);
        QFETCH(QSize, bound);
        QFETCH(QString, why);
        const QString path = pictures.filePath(file);
        LogCapture log;
        QString problem;
        const QImage picture = scaled ? korvo::picture::readWithin(path, bound, &problem)
                                      : korvo::picture::readAtMost(path, bound, &problem);
        QTEST(picture.isNull() ? QSize() : picture.size(), "size");
        QCOMPARE(problem, why);
        const QStringList said{"Unable to load the picture " + path + ": " + why + ".\n"};
        QCOMPARE(LogCapture::lines, why.isEmpty() ? QStringList() : said);
        if (picture.isNull())
            return;
        // The cut keeps the centre.
        QCOMPARE(picture.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(picture.pixel(picture.width() - 1, picture.height() - 1), qRgb(0, 0, 255));
    }
};

QTEST_GUILESS_MAIN(TestPictureReader)
#include "test_picturereader.moc"
