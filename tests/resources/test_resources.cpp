// SPDX-License-Identifier: GPL-3.0-or-later
// Every picture the program names must be compiled in under that exact name; a renamed or
// missing file would otherwise only show as an empty control at run time.

#include <QMovie>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void namedPicturesLoad()
    {
        const QRegularExpression named(QStringLiteral("\":/+(skins|background)/[\\w.]+\""));
        QDirIterator files(qEnvironmentVariable("KORVO_SOURCE_DIR") + QStringLiteral("/src"), {"*.cpp"}, QDir::Files,
                           QDirIterator::Subdirectories);
        int checked = 0;
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            for (auto it = named.globalMatch(QString::fromUtf8(file.readAll())); it.hasNext(); ++checked) {
                const QString path = it.next().captured(0).remove(QLatin1Char('"'));
                // An animation runs as long as what it waits for: forever.
                QVERIFY2(path.endsWith(".gif") ? QMovie(path).loopCount() == -1 : !QImage(path).isNull(),
                         qPrintable(path));
                // On a 2x screen NAME@2x.png is taken where there is one: twice the size, and the
                // theme list's thumbnails have one.
                const QString doubled = path.chopped(4) + "@2x.png";
                if (path.endsWith(".png") && (path.contains("_background_all") || QFile::exists(doubled)))
                    QVERIFY2(QImage(doubled).size() == QImage(path).size() * 2, qPrintable(doubled));
            }
        }
        QVERIFY(checked > 60);
        for (int n = 1; n <= 11; ++n)
            QCOMPARE(QImage(QString("://background/%1.%2").arg(n).arg(n == 6 ? "png" : "jpg")).size(), QSize(320, 170));
    }

    // Frameless translucent windows and the wait dialog are drawn at the picture's size and take
    // their shape from its alpha: the corners must be clear and the body solid, or the window
    // shows a box or a hole.
    void shapeComesFromAlpha_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("corner");
        QTest::addColumn<QPoint>("body");
        const QSize window(960, 588), icon(128, 128);
        QTest::newRow("window") << "://skins/background_01.png" << window << QPoint(959, 587) << QPoint(480, 300);
        QTest::newRow("exit dialog") << "://skins/exit_warning.png" << window << QPoint(0, 0) << QPoint(480, 290);
        QTest::newRow("loading") << "://skins/loading.gif" << icon << QPoint(0, 0) << QPoint(64, 64);
        QTest::newRow("wait dialog") << QDir(qEnvironmentVariable("KORVO_PROGRAM_DIR")).filePath("skin/process.png")
                                     << icon << QPoint(127, 127) << QPoint(64, 2);
    }

    void shapeComesFromAlpha()
    {
        QFETCH(QString, path);
        QFETCH(QPoint, corner);
        QFETCH(QPoint, body);
        const QImage image(path);
        QTEST(image.size(), "size");
        QCOMPARE(image.pixelColor(corner).alpha(), 0);
        QVERIFY(image.pixelColor(body).alpha() >= 128);
    }
};

QTEST_MAIN(TestResources)
#include "test_resources.moc"
