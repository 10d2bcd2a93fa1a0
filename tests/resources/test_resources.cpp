// Every picture the program names must be compiled in under that exact name; a renamed or
// missing file would otherwise only show as an empty control at run time.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMovie>
#include <QRegularExpression>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    // Every picture named in the code loads; the full-window ones and the backgrounds have the
    // size they are drawn at.
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
                QVERIFY2(path.endsWith(QLatin1String(".gif")) || !QImage(path).isNull(), qPrintable(path));
            }
        }
        QVERIFY(checked > 60);
        QCOMPARE(QImage("://skins/background_01.png").size(), QSize(960, 588));
        QCOMPARE(QImage("://skins/exit_warning.png").size(), QSize(960, 588));
        for (int n = 1; n <= 11; ++n)
            QCOMPARE(QImage(QString("://background/%1.%2").arg(n).arg(n == 6 ? "png" : "jpg")).size(), QSize(320, 170));
        QCOMPARE(QImage(QDir(qEnvironmentVariable("KORVO_PROGRAM_DIR")).filePath("skin/process.png")).size(),
                 QSize(128, 128));
    }

    void loadingAnimationLoops()
    {
        QMovie movie(QStringLiteral("://skins/loading.gif"));
        QVERIFY(movie.isValid());
        QVERIFY(movie.frameCount() > 1);
        QCOMPARE(movie.loopCount(), -1); // forever: the dialog stays up as long as an apply runs
        QVERIFY(movie.jumpToFrame(0));
        QCOMPARE(movie.currentImage().size(), QSize(128, 128));
    }

    // Frameless translucent windows and the wait dialog take their shape from the alpha: the
    // corners must be clear and the body solid, or the window shows a box or a hole.
    void shapeComesFromAlpha_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QPoint>("corner");
        QTest::addColumn<QPoint>("body");
        QTest::newRow("window") << "://skins/background_01.png" << QPoint(959, 587) << QPoint(480, 300);
        QTest::newRow("exit dialog") << "://skins/exit_warning.png" << QPoint(0, 0) << QPoint(480, 290);
        QTest::newRow("loading") << "://skins/loading.gif" << QPoint(0, 0) << QPoint(64, 64);
        QTest::newRow("wait dialog") << QDir(qEnvironmentVariable("KORVO_PROGRAM_DIR")).filePath("skin/process.png")
                                     << QPoint(127, 127) << QPoint(64, 2);
    }

    void shapeComesFromAlpha()
    {
        QFETCH(QString, path);
        QFETCH(QPoint, corner);
        QFETCH(QPoint, body);
        const QImage image(path);
        QCOMPARE(image.pixelColor(corner).alpha(), 0);
        QVERIFY(image.pixelColor(body).alpha() >= 128);
    }
};

QTEST_MAIN(TestResources)
#include "test_resources.moc"
