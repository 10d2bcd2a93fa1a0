// What the layout editor paints: the preview against the frame the screen receives, the picture
// fit and the editing aids at hand-worked pixels, and pictures that are missing, broken or huge.

#include "compose/applyrenderer.h"
#include "compose/previewgeometry.h"
#include "config/tempconfig.h"
#include "config/themeprofile.h"
#include "editor/zoomwidget.h"

#include <QBuffer>
#include <QPainter>
#include <QtTest>

#include <memory>

using namespace korvo;

namespace {

constexpr QSize LandscapeWidget(435, 312);
constexpr QSize PortraitWidget(425, 322);

// Bands of colour with a diagonal, so that a picture placed a few pixels off shows at once.
QImage bandedPicture(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    QPainter painter(&picture);
    const QColor bands[] = {QColor(40, 70, 140), QColor(150, 60, 50), QColor(30, 120, 80), QColor(90, 90, 90)};
    const int band = size.height() / 4;
    for (int i = 0; i < 4; ++i)
        painter.fillRect(0, i * band, size.width(), i == 3 ? size.height() - 3 * band : band, bands[i]);
    painter.setPen(QPen(QColor(230, 200, 60), size.width() / 40));
    painter.drawLine(0, 0, size.width(), size.height());
    return picture;
}

ThemeProfile customProfile(int hor, const QString& picture)
{
    ThemeProfile profile;
    profile.Mode = 1;
    profile.Hor = uint8_t(hor);
    LayoutRecord& record = profile.custom[0];
    for (int kind : {CpuTemperature, CpuLoad, MemoryLoad, Time, CpuPower, Date, FreeText})
        record.Show_[kind] = 1;
    record.String_ = {"45℃", "12%", "38%", "12:34", "35W", "2024.05.06", "1200RPM", "Korvo 42 速", "May 6"};
    record.StringPixmap = picture;
    record.Color = 3;
    record.Size = 1;
    return profile;
}

int channelDistance(QRgb p, QRgb q)
{
    return std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
}

// Share of the pixels of `a` that find no pixel within `threshold` in the 3 x 3 neighbourhood of
// the same place in `b`: scaling may move an edge by a pixel, but no further.
double unmatchedShare(const QImage& a, const QImage& b, int threshold)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int unmatched = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            int best = 255;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    if (y.valid(col + dx, row + dy))
                        best = std::min(best, channelDistance(x.pixel(col, row), y.pixel(col + dx, row + dy)));
                }
            }
            if (best > threshold)
                ++unmatched;
        }
    }
    return double(unmatched) / (x.width() * x.height());
}

} // namespace

class TestZoomWidgetPreview : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void previewMatchesTheFrame_data();
    void previewMatchesTheFrame();
    void pictureFitAndEditingAids_data();
    void pictureFitAndEditingAids();
    void picturesThatDoNotLoad_data();
    void picturesThatDoNotLoad();
    void hugePictureIsReadScaled();

private:
    ZoomWidget* makeWidget(const ThemeProfile& profile);

    std::unique_ptr<TempConfig> temp;
    std::unique_ptr<ZoomWidget> widget;
};

void TestZoomWidgetPreview::init()
{
    temp = std::make_unique<TempConfig>();
    QVERIFY(QDir().mkpath(temp->configDir()));
}

void TestZoomWidgetPreview::cleanup()
{
    widget.reset();
    temp.reset();
}

ZoomWidget* TestZoomWidgetPreview::makeWidget(const ThemeProfile& profile)
{
    widget = std::make_unique<ZoomWidget>();
    widget->resize(profile.Hor == 1 ? PortraitWidget : LandscapeWidget);
    widget->LoadLayout(profile, true);
    widget->show();
    if (!QTest::qWaitForWindowExposed(widget.get()))
        return nullptr;
    return widget.get();
}

void TestZoomWidgetPreview::previewMatchesTheFrame_data()
{
    QTest::addColumn<int>("hor");
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("zoom");

    QTest::newRow("landscape, wide picture") << 0 << QSize(640, 300) << 0 << 0;
    QTest::newRow("landscape, tall picture zoomed in") << 0 << QSize(400, 400) << 2 << -8;
    QTest::newRow("portrait") << 1 << QSize(300, 500) << 1 << 0;
}

void TestZoomWidgetPreview::previewMatchesTheFrame()
{
    QFETCH(int, hor);
    QFETCH(QSize, pictureSize);
    QFETCH(int, row);
    QFETCH(int, zoom);

    const QString path = temp->dir.path() + "/banded.png";
    QVERIFY(bandedPicture(pictureSize).save(path));
    ZoomWidget* w = makeWidget(customProfile(hor, path));
    QVERIFY(w);
    w->ResetCustomShow();
    w->model().setCurRectId(row);
    w->model().workingRecord().XZoom = zoom;
    w->model().workingRecord().YZoom = zoom;

    const QImage preview = w->grab().toImage();
    const QImage shown = preview.copy(compose::previewFrame(hor, w->size()))
                             .scaled(compose::deviceSize(hor), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage frame = compose::composeFrame(w->model().working(), w->model().previewBackground(), w->size()).frame;
    QCOMPARE(shown.size(), frame.size());
    // Landscape text drawn at 1.35 and scaled back lands within a pixel of the frame's text; a
    // text or picture placed two device pixels off leaves well over 0.7 % of pixels unmatched.
    QVERIFY2(unmatchedShare(shown, frame, 64) < 0.006, "the preview shows something the frame does not");
    QVERIFY2(unmatchedShare(frame, shown, 64) < 0.006, "the frame shows something the preview does not");
}

void TestZoomWidgetPreview::pictureFitAndEditingAids_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<bool>("editMode");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QColor>("colour");

    const QColor red(255, 0, 0);
    const QColor grey(128, 128, 128);
    const QColor orange(255, 100, 34);
    const QPoint noPress(-1, -1);
    // A red picture of the screen's own shape fills the canvas (1, 41) to (433, 270) exactly.
    QTest::newRow("canvas top-left") << 0 << false << noPress << QPoint(1, 41) << red;
    QTest::newRow("canvas bottom-right") << 0 << false << noPress << QPoint(433, 270) << red;
    QTest::newRow("outline left") << 0 << false << noPress << QPoint(0, 150) << grey;
    QTest::newRow("outline bottom") << 0 << false << noPress << QPoint(200, 271) << grey;
    // Zoomed in by 8 device pixels: 11 preview pixels more on each side, 6 above and below.
    QTest::newRow("zoomed picture above the canvas") << -8 << false << noPress << QPoint(200, 35) << red;
    QTest::newRow("zoomed picture below the canvas") << -8 << false << noPress << QPoint(200, 276) << red;
    QTest::newRow("zoomed picture ends") << -8 << false << noPress << QPoint(200, 277) << QColor(0, 0, 0, 0);
    // The crop frame (1, 0) to (433, 311) and its corner marks, only in background edit mode.
    QTest::newRow("frame top") << 0 << true << noPress << QPoint(200, 0) << orange;
    QTest::newRow("corner mark") << 0 << true << noPress << QPoint(4, 17) << orange;
    QTest::newRow("beside the corner mark") << 0 << true << noPress << QPoint(5, 18) << QColor(0, 0, 0, 0);
    QTest::newRow("no frame outside the mode") << 0 << false << noPress << QPoint(200, 0) << QColor(0, 0, 0, 0);
    // A slot held by the mouse is lit with white at alpha 40: red turns (255, 40, 40).
    QTest::newRow("dragged slot lit") << 0 << false << QPoint(68, 81) << QPoint(5, 66) << QColor(255, 40, 40);
    QTest::newRow("other slots not lit") << 0 << false << QPoint(68, 81) << QPoint(300, 66) << red;
}

void TestZoomWidgetPreview::pictureFitAndEditingAids()
{
    QFETCH(int, zoom);
    QFETCH(bool, editMode);
    QFETCH(QPoint, press);
    QFETCH(QPoint, pixel);
    QFETCH(QColor, colour);

    const QString path = temp->dir.path() + "/red.png";
    QImage red(433, 230, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(path));
    ZoomWidget* w = makeWidget(customProfile(0, path));
    QVERIFY(w);
    w->ResetCustomShow();
    w->model().workingRecord().XZoom = zoom;
    w->model().workingRecord().YZoom = zoom;
    w->SetBackgroundEditMode(editMode);
    if (press.x() >= 0)
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, press);

    QImage painted(w->size(), QImage::Format_ARGB32);
    painted.fill(Qt::transparent);
    w->render(&painted, QPoint(), QRegion(), QWidget::DrawChildren);
    QCOMPARE(QColor::fromRgba(painted.pixel(pixel)), colour);
}

void TestZoomWidgetPreview::picturesThatDoNotLoad_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("removed");

    QTest::newRow("not a picture") << QByteArray("no picture in here") << false;
    QTest::newRow("cut short") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << false;
    QTest::newRow("removed since it was stored") << QByteArray() << true;
}

void TestZoomWidgetPreview::picturesThatDoNotLoad()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, removed);

    const QString path = temp->dir.path() + "/chosen.png";
    if (removed)
        QVERIFY(bandedPicture(QSize(64, 34)).save(path) && QFile::remove(path));
    else
        QVERIFY(TempConfig::writeFile(path, content));
    LogCapture log;
    ZoomWidget* w = makeWidget(customProfile(0, path));
    QVERIFY(w);
    QCOMPARE(LogCapture::lines.filter("picture"), QStringList{"Unable to load the picture " + path + ".\n"});
    QVERIFY(w->model().previewBackground().isNull());

    // The figures still show, on black where the screen would be black too.
    w->ResetCustomShow();
    const QImage painted = w->grab().toImage();
    QCOMPARE(painted.pixel(5, 45), qRgb(0, 0, 0));
    // Slot 0 with its value and label: preview pixels (14, 62) to (124, 140).
    int lit = 0;
    for (int y = 62; y <= 140; ++y) {
        for (int x = 14; x <= 124; ++x)
            lit += qGray(painted.pixel(x, y)) > 128 ? 1 : 0;
    }
    QVERIFY(lit > 50);
    QCOMPARE(compose::composeFrame(w->model().working(), w->model().previewBackground(), w->size()).frame.pixel(2, 2),
             qRgb(0, 0, 0));
}

// A 20000 x 20000 picture whole would take 1.6 GB; it is decoded at 2048 x 2048 instead.
void TestZoomWidgetPreview::hugePictureIsReadScaled()
{
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(qRgb(30, 160, 90));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && small.save(&buffer, "JPG"));
    const int sof = bytes.indexOf("\xFF\xC0");
    QVERIFY(sof > 0);
    bytes[sof + 5] = bytes[sof + 7] = char(20000 >> 8);
    bytes[sof + 6] = bytes[sof + 8] = char(20000 & 0xFF);
    const QString path = temp->dir.path() + "/huge.jpg";
    QVERIFY(TempConfig::writeFile(path, bytes));

    ZoomWidget* w = makeWidget(customProfile(0, QString()));
    QVERIFY(w);
    LogCapture log;
    w->SetBackgroundPicture(path);
    QCOMPARE(LogCapture::lines.filter("picture"),
             QStringList{"The picture " + path + " is 20000x20000; it is read at 2048x2048.\n"});
    QCOMPARE(w->model().previewBackground().size(), QSize(2048, 2048));
    QVERIFY(!w->grab().isNull());
}

QTEST_MAIN(TestZoomWidgetPreview)
#include "test_zoomwidget_preview.moc"
