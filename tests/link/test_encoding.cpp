#include "link/link.h"

#include <QtTest>

using namespace korvo::link;

namespace {

QImage filled(int width, int height, QImage::Format format, QRgb colour)
{
    QImage image(width, height, format);
    image.fill(QColor(colour));
    return image;
}

} // namespace

class TestEncoding : public QObject
{
    Q_OBJECT

private slots:
    void encode_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("red") << filled(1, 1, QImage::Format_RGB16, qRgb(255, 0, 0)) << QByteArray::fromHex("f800");
        QTest::newRow("blue") << filled(1, 1, QImage::Format_RGB16, qRgb(0, 0, 255)) << QByteArray::fromHex("001f");
        QTest::newRow("white") << filled(2, 1, QImage::Format_RGB16, qRgb(255, 255, 255))
                               << QByteArray::fromHex("ffffffff");
        QTest::newRow("green and blue") << filled(1, 1, QImage::Format_RGB16, qRgb(0, 255, 255))
                                        << QByteArray::fromHex("07ff");

        // 7 pixels are 14 bytes, but Qt pads each scan line to 16; the padding must not be sent.
        QImage odd = filled(7, 2, QImage::Format_RGB16, qRgb(255, 0, 0));
        for (int x = 0; x < 7; ++x)
            odd.setPixel(x, 1, qRgb(0, 0, 255));
        odd.setPixel(6, 1, qRgb(0, 255, 0));
        QTest::newRow("odd width") << odd
                                   << QByteArray::fromHex("f800f800f800f800f800f800f800"
                                                          "001f001f001f001f001f001f07e0");
        QTest::newRow("empty") << QImage() << QByteArray();
    }

    void encode()
    {
        QFETCH(QImage, image);
        QFETCH(QByteArray, expected);
        QByteArray output(64, char(0xAA));
        ConvertImageToDeviceBuffer(image, reinterpret_cast<uint8_t*>(output.data()));
        QCOMPARE(output.left(expected.size()).toHex(), expected.toHex());
        QCOMPARE(output.mid(expected.size()), QByteArray(64 - expected.size(), char(0xAA)));
    }

    void otherFormatIsConvertedWithAWarning()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("is not RGB16, converting first"));
        uint8_t output[2] = {};
        ConvertImageToDeviceBuffer(filled(1, 1, QImage::Format_RGB32, qRgb(255, 0, 0)), output);
        QCOMPARE(output[0], uint8_t(0xF8));
        QCOMPARE(output[1], uint8_t(0x00));
    }
};

QTEST_GUILESS_MAIN(TestEncoding)
#include "test_encoding.moc"
