// The layout editor driven with real mouse, wheel and key events on an offscreen widget of the size
// the main window gives it: 435 x 312 in landscape (screen drawn at (1, 41), 1.35 preview pixels per
// device pixel) and 425 x 322 in portrait (screen at (127, 0), 1:1). Every position below is worked
// out by hand from those numbers.

#include "compose/applyrenderer.h"
#include "compose/previewgeometry.h"
#include "config/tempconfig.h"
#include "config/themeprofile.h"
#include "editor/selfplaintextedit.h"
#include "editor/zoomwidget.h"

#include <QApplication>
#include <QClipboard>
#include <QPainter>
#include <QtTest>

#include <sys/stat.h>

using namespace korvo;

using SlotRow = std::array<int, SlotCount>;
using PointList = QVector<QPoint>;
Q_DECLARE_METATYPE(SlotRow)

namespace {

// A custom layout showing the first five figures in their slots when `figures`, and the free text.
ThemeProfile customProfile(int hor, bool figures, const QString& freeText, const QString& picture = QString())
{
    ThemeProfile profile;
    profile.Mode = 1;
    profile.Hor = uint8_t(hor);
    LayoutRecord& record = profile.custom[0];
    if (figures) {
        for (int kind : {CpuTemperature, CpuLoad, MemoryLoad, Time, CpuPower})
            record.Show_[kind] = 1;
        record.String_ = {"45℃", "12%", "38%", "12:34", "35W", "2024.05.06", "1200RPM", QString(), "May 6"};
    }
    record.Show_[FreeText] = 1;
    record.String_[FreeText] = freeText;
    record.StringPixmap = picture;
    return profile;
}

void move(QWidget* widget, const QPoint& pos, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent event(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void drag(QWidget* widget, const QPoint& from, const PointList& path)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    for (const QPoint& pos : path)
        move(widget, pos);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, path.last());
}

// Share of the pixels of `a` with no pixel within 64 per channel in the 3 x 3 neighbourhood of the
// same place in `b`: scaling may move an edge by a pixel, but no further.
double unmatchedShare(const QImage& a, const QImage& b)
{
    int unmatched = 0;
    for (int row = 0; row < a.height(); ++row) {
        for (int col = 0; col < a.width(); ++col) {
            const QRgb p = a.pixel(col, row);
            bool found = false;
            for (int n = 0; n < 9 && !found; ++n) {
                const QPoint q(col + n % 3 - 1, row + n / 3 - 1);
                found = b.valid(q) &&
                        std::max({std::abs(qRed(p) - qRed(b.pixel(q))), std::abs(qGreen(p) - qGreen(b.pixel(q))),
                                  std::abs(qBlue(p) - qBlue(b.pixel(q)))}) <= 64;
            }
            unmatched += found ? 0 : 1;
        }
    }
    return double(unmatched) / (a.width() * a.height());
}

} // namespace

class TestZoomWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempConfig> temp;
    std::unique_ptr<ZoomWidget> widget;

    // A shown editor with the given layout, painted once so that its hit areas exist.
    ZoomWidget* makeWidget(const ThemeProfile& profile)
    {
        widget = std::make_unique<ZoomWidget>();
        widget->resize(profile.Hor == 1 ? QSize(425, 322) : QSize(435, 312));
        widget->LoadLayout(profile, true);
        widget->show();
        if (!QTest::qWaitForWindowExposed(widget.get()))
            QTest::qFail("the editor was never shown", __FILE__, __LINE__);
        widget->repaint();
        return widget.get();
    }

private slots:
    void init()
    {
        widget.reset();
        temp = std::make_unique<TempConfig>();
        QVERIFY(QDir().mkpath(temp->configDir()));
    }

    void slotDrag_data()
    {
        QTest::addColumn<int>("hor");
        QTest::addColumn<int>("hiddenKind");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<bool>("dragStarts");
        QTest::addColumn<SlotRow>("expected");
        // Landscape slot centres: 0 (68, 81), 1 (68, 216), 2 (217, 142), 3 (361, 216), 4 (361, 81).
        // The default row is 0, 1, 3, 2, 4.
        QTest::newRow("swap slot 0 with slot 3")
            << 0 << -1 << QPoint(68, 81) << QPoint(361, 216) << true << SlotRow{2, 1, 3, 0, 4};
        QTest::newRow("onto an empty slot")
            << 0 << int(CpuPower) << QPoint(68, 81) << QPoint(361, 81) << true << SlotRow{-1, 1, 3, 2, 0};
        QTest::newRow("press on an empty slot")
            << 0 << int(CpuPower) << QPoint(361, 81) << QPoint(68, 81) << false << SlotRow{0, 1, 3, 2, -1};
        // Portrait: slot 0 centre (161, 30), slot 3 centre (261, 282).
        QTest::newRow("portrait swap") << 1 << -1 << QPoint(161, 30) << QPoint(261, 282) << true
                                       << SlotRow{2, 1, 3, 0, 4};
    }

    void slotDrag()
    {
        QFETCH(int, hor);
        QFETCH(int, hiddenKind);
        QFETCH(QPoint, press);
        QFETCH(QPoint, release);
        QFETCH(bool, dragStarts);
        QFETCH(SlotRow, expected);
        ZoomWidget* w = makeWidget(customProfile(hor, true, QString()));
        w->ResetCustomShow();
        if (hiddenKind >= 0)
            w->SetElementShown(hiddenKind, 0);

        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, press);
        QCOMPARE(w->cursor().shape(), dragStarts ? Qt::BitmapCursor : Qt::ArrowCursor);
        move(w, release);
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, release);
        QCOMPARE(w->model().working().customShow[0], expected);
        QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
    }

    void freeTextDragAndUndo_data()
    {
        QTest::addColumn<int>("hor");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<QPoint>("release");
        QTest::addColumn<int>("droppedRow");
        // The text starts in row 1. Landscape rows in preview pixels: row 0 y 54..107, row 1 y 126..179,
        // row 2 y 196..249; its pick area reaches 6.75 pixels above its row.
        QTest::newRow("up to row 0") << 0 << "Korvo" << QPoint(217, 151) << QPoint(217, 81) << 0;
        QTest::newRow("down to row 2 from above the row") << 0 << "Korvo" << QPoint(30, 121) << QPoint(217, 223) << 2;
        QTest::newRow("dropped between rows") << 0 << "Korvo" << QPoint(217, 151) << QPoint(217, 116) << 1;
        QTest::newRow("an empty text is not picked") << 0 << "" << QPoint(217, 151) << QPoint(217, 81) << 1;
        // Portrait rows: row 0 y 36..73, row 1 y 131..168, row 2 y 225..262, x 137..286.
        QTest::newRow("portrait down to row 2") << 1 << "Korvo" << QPoint(212, 150) << QPoint(212, 240) << 2;
    }

    void freeTextDragAndUndo()
    {
        QFETCH(int, hor);
        QFETCH(QString, text);
        QFETCH(QPoint, press);
        QFETCH(QPoint, release);
        QFETCH(int, droppedRow);
        ZoomWidget* w = makeWidget(customProfile(hor, false, text));
        w->SetEditingActive(true);

        drag(w, press, {release});
        QCOMPARE(w->model().working().curRectId, droppedRow);
        QCOMPARE(int(w->model().editHistory().size()), droppedRow == 1 ? 1 : 2);
        w->UndoEdit(false);
        QCOMPARE(w->model().working().curRectId, 1);
        QCOMPARE(w->model().working().record.String_[FreeText], text);
    }

    void wheelZoom_data()
    {
        QTest::addColumn<bool>("editMode");
        QTest::addColumn<int>("forward");
        QTest::addColumn<int>("backward");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("history");
        QTest::newRow("five steps in") << true << 5 << 0 << -20 << 6;
        QTest::newRow("five in, two out") << true << 5 << 2 << -12 << 8;
        QTest::newRow("never below the fitted size") << true << 5 << 9 << 0 << 11;
        QTest::newRow("outside background edit mode") << false << 5 << 0 << 0 << 1;
        // A load refuses an inset beyond 1024: the wheel stops there, and a step that changes
        // nothing adds no snapshot.
        QTest::newRow("stops where a load would refuse") << true << 300 << 0 << -1024 << 257;
    }

    void wheelZoom()
    {
        QFETCH(bool, editMode);
        QFETCH(int, forward);
        QFETCH(int, backward);
        QFETCH(int, zoom);
        QFETCH(int, history);
        ZoomWidget* w = makeWidget(customProfile(0, true, QString()));
        w->SetEditingActive(true);
        w->SetBackgroundEditMode(editMode);
        for (int i = 0; i < forward + backward; ++i) {
            QWheelEvent event(QPointF(200, 150), w->mapToGlobal(QPoint(200, 150)), QPoint(),
                              QPoint(0, i < forward ? 120 : -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(w, &event);
        }
        QCOMPARE(w->model().working().record.XZoom, zoom);
        QCOMPARE(w->model().working().record.YZoom, zoom);
        QCOMPARE(int(w->model().editHistory().size()), history);
    }

    void frameResizeAndMove_data()
    {
        QTest::addColumn<int>("hor");
        QTest::addColumn<QPoint>("press");
        QTest::addColumn<PointList>("moves");
        QTest::addColumn<int>("amount");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QPoint>("offset");
        // Landscape frame before any resize: (1, 0) to (433, 311); the amount runs 1..41.
        QTest::newRow("top edge stops at the screen") << 0 << QPoint(200, 2) << PointList{{200, 0}, {200, 130}} << 41
                                                      << QRect(QPoint(1, 41), QPoint(433, 270)) << QPoint();
        QTest::newRow("back up never below 1")
            << 0 << QPoint(200, 2) << PointList{{200, 0}, {200, 20}, {200, 5}, {200, -30}} << 1
            << QRect(QPoint(1, 1), QPoint(433, 310)) << QPoint();
        QTest::newRow("bottom-right handle") << 0 << QPoint(425, 305) << PointList{{425, 306}, {425, 296}} << 11
                                             << QRect(QPoint(1, 11), QPoint(433, 300)) << QPoint();
        QTest::newRow("left edge does not resize in landscape")
            << 0 << QPoint(3, 150) << PointList{{50, 150}} << 0 << QRect(QPoint(1, 0), QPoint(433, 311)) << QPoint();
        QTest::newRow("inside moves the picture") << 0 << QPoint(200, 150) << PointList{{190, 160}, {230, 147}} << 0
                                                  << QRect(QPoint(1, 0), QPoint(433, 311)) << QPoint(30, -3);
        QTest::newRow("moves stop where a load would refuse")
            << 0 << QPoint(200, 150) << PointList{{5200, -5850}} << 0 << QRect(QPoint(1, 0), QPoint(433, 311))
            << QPoint(4096, -4096);
        // Portrait frame: (1, 0) to (423, 321); the amount runs up to 127.
        QTest::newRow("portrait right edge stops at the screen")
            << 1 << QPoint(419, 160) << PointList{{421, 160}, {200, 160}} << 127
            << QRect(QPoint(128, 0), QPoint(296, 321)) << QPoint();
    }

    void frameResizeAndMove()
    {
        QFETCH(int, hor);
        QFETCH(QPoint, press);
        QFETCH(PointList, moves);
        QFETCH(int, amount);
        QFETCH(QRect, frame);
        QFETCH(QPoint, offset);
        ZoomWidget* w = makeWidget(customProfile(hor, true, QString()));
        w->SetEditingActive(true);
        w->SetBackgroundEditMode(true);
        move(w, press, Qt::NoButton);
        drag(w, press, moves);

        QCOMPARE(hor == 1 ? w->model().portraitResize() : w->model().landscapeResize(), amount);
        const LayoutRecord& record = w->model().working().record;
        QCOMPARE(QPoint(record.XPt, record.YPt), offset);
        w->repaint();
        QCOMPARE(w->frameRect(), frame);
    }

    void typeTheFreeText_data()
    {
        QTest::addColumn<int>("closeKey");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("a press on the preview") << 0;
    }

    void typeTheFreeText()
    {
        QFETCH(int, closeKey);
        ZoomWidget* w = makeWidget(customProfile(0, false, "Hello"));
        SelfPlainTextEdit* editor = w->textEditor();
        // A double click outside the text's row opens nothing.
        QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(217, 60));
        QVERIFY(editor->isHidden());

        // Row 1 with its extra 3 device pixels: x 14..418, y 126..183.
        QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(217, 182));
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->geometry(), QRect(14, 126, 405, 58));
        QCOMPARE(editor->font().pixelSize(), 22);
        QTest::keyClicks(editor, " Korvo");
        if (closeKey != 0)
            QTest::keyClick(editor, Qt::Key(closeKey));
        else
            QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(editor->isHidden());
        QCOMPARE(w->model().working().record.String_[FreeText], QString("Hello Korvo"));
        QCOMPARE(editor->toPlainText(), QString("Hello Korvo")); // Return ended the entry, it broke no line
    }

    void cutWhenTurningToPortrait_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<int>("typed");
        QTest::addColumn<int>("landscapeLength");
        QTest::newRow("English 55 characters") << true << 55 << 55;
        QTest::newRow("English past 60") << true << 70 << 60;
        QTest::newRow("Chinese past 40") << false << 55 << 40;
    }

    void cutWhenTurningToPortrait()
    {
        QFETCH(bool, english);
        QFETCH(int, typed);
        QFETCH(int, landscapeLength);
        ZoomWidget* w = makeWidget(customProfile(0, false, QString()));
        w->setEnglishInterface(english);
        w->slotShowEdt();
        QTest::keyClicks(w->textEditor(), QString(typed, QLatin1Char('k')));
        QTest::keyClick(w->textEditor(), Qt::Key_Return);
        QCOMPARE(w->model().working().record.String_[FreeText].size(), landscapeLength);

        w->SetOrientation(1);
        w->resize(425, 322);
        QCOMPARE(w->model().working().record.String_[FreeText], QString(40, QLatin1Char('k')));
        QCOMPARE(w->textEditor()->maxLength(), 40);
        w->slotShowEdt();
        QCOMPARE(w->textEditor()->toPlainText(), QString(40, QLatin1Char('k')));
        // Portrait row 1 at 1:1 with 3 extra device pixels; the portrait font is not enlarged.
        QCOMPARE(w->textEditor()->geometry(), QRect(137, 131, 150, 41));
        QCOMPARE(w->textEditor()->font().pixelSize(), 17);
    }

    void longPaste()
    {
        ZoomWidget* w = makeWidget(customProfile(0, false, "abc"));
        w->slotShowEdt();
        LogCapture log;
        QApplication::clipboard()->setText(QString(10000, QChar(0x5B57)));
        w->textEditor()->selectAll();
        w->textEditor()->paste();
        QCOMPARE(LogCapture::lines, QStringList{"The free text of 10000 characters is cut to 40.\n"});
        // The editor goes on working after the cut.
        QTest::keyClick(w->textEditor(), Qt::Key_Backspace);
        QTest::keyClicks(w->textEditor(), "!");
        QTest::keyClick(w->textEditor(), Qt::Key_Return);
        QCOMPARE(w->model().working().record.String_[FreeText], QString(39, QChar(0x5B57)) + "!");
    }

    // Cancelling undoes to the start; the apply that follows stores the editor's text, which must then
    // be the restored one.
    void cancelledTextStaysCancelled()
    {
        ZoomWidget* w = makeWidget(customProfile(0, false, "Hello"));
        w->SetEditingActive(true);
        QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(217, 150));
        QTest::keyClicks(w->textEditor(), " there");
        QTest::keyClick(w->textEditor(), Qt::Key_Return);
        w->SetTextColor(2);
        QCOMPARE(w->model().working().record.String_[FreeText], QString("Hello there"));
        w->UndoEdit(true);
        w->CommitTextEditor();
        QCOMPARE(w->model().working().record.String_[FreeText], QString("Hello"));
    }

    void previewMatchesTheFrame_data()
    {
        QTest::addColumn<int>("hor");
        QTest::addColumn<QSize>("pictureSize");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("zoom");
        QTest::newRow("landscape, wide picture") << 0 << QSize(640, 300) << 0 << 0;
        QTest::newRow("landscape, tall picture zoomed in") << 0 << QSize(400, 400) << 2 << -8;
        QTest::newRow("portrait") << 1 << QSize(300, 500) << 1 << 0;
    }

    void previewMatchesTheFrame()
    {
        QFETCH(int, hor);
        QFETCH(QSize, pictureSize);
        QFETCH(int, row);
        QFETCH(int, zoom);
        // Two bands of colour with a diagonal, so that a picture placed a few pixels off shows at once.
        QImage picture(pictureSize, QImage::Format_RGB32);
        picture.fill(QColor(40, 70, 140));
        QPainter painter(&picture);
        painter.fillRect(0, pictureSize.height() / 2, pictureSize.width(), pictureSize.height(), QColor(150, 60, 50));
        painter.setPen(QPen(QColor(230, 200, 60), pictureSize.width() / 40));
        painter.drawLine(0, 0, pictureSize.width(), pictureSize.height());
        painter.end();
        const QString path = temp->dir.path() + "/banded.png";
        QVERIFY(picture.save(path));
        ThemeProfile profile = customProfile(hor, true, "Korvo 42 速", path);
        profile.custom[0].Show_[Date] = 1;
        profile.custom[0].Color = 3;
        profile.custom[0].Size = 1;
        ZoomWidget* w = makeWidget(profile);
        w->ResetCustomShow();
        w->model().setCurRectId(row);
        w->model().workingRecord().XZoom = zoom;
        w->model().workingRecord().YZoom = zoom;

        const QImage shown = w->grab()
                                 .toImage()
                                 .copy(compose::previewFrame(hor, w->size()))
                                 .scaled(compose::deviceSize(hor), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                 .convertToFormat(QImage::Format_RGB32);
        const QImage frame = compose::composeFrame(w->model().working(), w->model().previewBackground(), w->size())
                                 .frame.convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), frame.size());
        // Landscape text drawn at 1.35 and scaled back lands within a pixel of the frame's text; a text
        // or picture placed two device pixels off leaves well over 0.7 % of pixels unmatched.
        QVERIFY2(unmatchedShare(shown, frame) < 0.006, "the preview shows something the frame does not");
        QVERIFY2(unmatchedShare(frame, shown) < 0.006, "the frame shows something the preview does not");
    }

    void picturesThatDoNotLoad_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("why");
        QTest::newRow("not a picture") << QByteArray("no picture in here") << "its size cannot be read";
        QTest::newRow("removed since it was stored") << QByteArray() << "it does not exist";
        // A FIFO would block the start-up forever.
        QTest::newRow("FIFO") << QByteArray("fifo") << "it is not a regular file";
    }

    void picturesThatDoNotLoad()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, why);
        const QString path = temp->dir.path() + "/chosen.png";
        if (content == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (!content.isEmpty())
            QVERIFY(TempConfig::writeFile(path, content));
        LogCapture log;
        ZoomWidget* w = makeWidget(customProfile(0, true, QString(), path));
        const QStringList lines = LogCapture::lines.filter("picture");
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().startsWith("Unable to load the picture " + path + ": " + why),
                 qPrintable(lines.first()));
        QVERIFY(w->model().previewBackground().isNull());

        // The figures still show, on black where the screen would be black too.
        w->ResetCustomShow();
        const QImage painted = w->grab().toImage();
        QCOMPARE(painted.pixel(5, 45), qRgb(0, 0, 0));
        int lit = 0; // slot 0 with its value and label: preview pixels (14, 62) to (124, 140)
        for (int n = 0; n < 111 * 79; ++n)
            lit += qGray(painted.pixel(14 + n % 111, 62 + n / 111)) > 128 ? 1 : 0;
        QVERIFY(lit > 50);
    }
};

QTEST_MAIN(TestZoomWidget)
#include "test_zoomwidget.moc"
