#include "logcapture.h"
#include "picture/picturereader.h"

#include <QtTest>

#include <sys/stat.h>

using namespace korvo;

class TestPictureReader : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    QString save(const QString& name, const QImage& picture)
    {
        const QString path = folder.filePath(name);
        return picture.save(path) ? path : QString();
    }

private slots:
    void bounded_data();
    void bounded();
};

// A 1 x 20000 strip whose upper half is red and lower half blue.
QImage strip(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(qRgb(255, 0, 0));
    for (int y = height / 2; y < height; ++y)
        for (int x = width / 2 * (width > height); x < width; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 255));
    return picture;
}

void TestPictureReader::bounded_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("scaled"); // readWithin, else readAtMost
    QTest::addColumn<QSize>("bound");
    QTest::addColumn<QSize>("size"); // empty: refused
    QTest::addColumn<QString>("why");
    QTest::newRow("FIFO") << "fifo" << true << QSize(2048, 2048) << QSize() << "it is not a regular file";
    QTest::newRow("1 x 20000 strip cut to its centre") << "tall.png" << true << QSize(2048, 2048) << QSize(1, 8) << "";
    QTest::newRow("100000 x 1 strip cut to its centre") << "wide.png" << true << QSize(2048, 2048) << QSize(8, 1) << "";
    QTest::newRow("large picture decoded scaled")
        << "large.png" << true << QSize(2048, 2048) << QSize(2048, 1024) << "";
    QTest::newRow("small picture never scaled up") << "small.bmp" << true << QSize(2048, 2048) << QSize(3, 2) << "";
    QTest::newRow("20000 x 20000 declared, refused before decoding")
        << "declared.png" << true << QSize(2048, 2048) << QSize() << "it is 20000 x 20000 pixels, too large to decode";
    QTest::newRow("GIF canvas larger than its frame") << "canvas.gif" << false << QSize(255, 255) << QSize()
                                                      << "it is 65280 x 249 pixels, more than 255 x 255 pixels";
    QTest::newRow("as it is, within the bound") << "small.bmp" << false << QSize(3, 2) << QSize(3, 2) << "";
    QTest::newRow("as it is, beyond the bound")
        << "small.bmp" << false << QSize(2, 2) << QSize() << "it is 3 x 2 pixels, more than 2 x 2 pixels";
}

void TestPictureReader::bounded()
{
    QFETCH(QString, file);
    QFETCH(bool, scaled);
    QFETCH(QSize, bound);
    QFETCH(QSize, size);
    QFETCH(QString, why);
    QVERIFY(!save("tall.png", strip(1, 20000)).isEmpty());
    QVERIFY(!save("wide.png", strip(100000, 1)).isEmpty());
    QVERIFY(!save("large.png", strip(3000, 1500)).isEmpty());
    QVERIFY(!save("small.bmp", strip(3, 2)).isEmpty());
    QFile declared(folder.filePath("declared.png"));
    QVERIFY(declared.open(QIODevice::WriteOnly));
    declared.write(QByteArray::fromHex("89504e470d0a1a0a0000000d49484452"   // signature, IHDR
                                       "00004e2000004e2008020000006c12d16e" // 20000 x 20000 RGB, CRC
                                       "000000004944415435af061e"           // empty IDAT
                                       "0000000049454e44ae426082"));        // IEND
    declared.close();
    QFile gif(folder.filePath("canvas.gif"));
    QVERIFY(gif.open(QIODevice::WriteOnly));
    gif.write(QByteArray::fromHex("474946383961"
                                  "00fff900"
                                  "800000ffffff000000"                                  // 65280 x 249 canvas
                                  "21f90401000000002c00000000010001000002024401003b")); // a 1 x 1 frame
    gif.close();
    const QString path = folder.filePath(file);
    if (file == "fifo" && !QFileInfo::exists(path))
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);

    LogCapture log;
    QString problem;
    const QImage picture = scaled ? picture::readWithin(path, bound, &problem) : picture::readAtMost(path, bound);
    QCOMPARE(picture.size(), size.isEmpty() ? QSize(0, 0) : size);
    if (size.isEmpty()) {
        QCOMPARE(LogCapture::lines, QStringList{"Unable to load the picture " + path + ": " + why + ".\n"});
        QCOMPARE(problem, scaled ? why : QString());
        return;
    }
    QVERIFY(LogCapture::lines.isEmpty());
    // The cut keeps the centre: red above or left of the middle, blue below or right of it.
    QCOMPARE(picture.pixel(0, 0), qRgb(255, 0, 0));
    QCOMPARE(picture.pixel(size.width() - 1, size.height() - 1), qRgb(0, 0, 255));
}

QTEST_GUILESS_MAIN(TestPictureReader)
#include "test_picturereader.moc"
