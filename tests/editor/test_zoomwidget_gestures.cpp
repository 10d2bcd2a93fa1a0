// Mouse, wheel and keyboard gestures on the layout editor, driven with real events on an
// offscreen widget of the size the main window gives it: 435 x 312 in landscape (screen drawn
// at (1, 41), 1.35 preview pixels per device pixel) and 425 x 322 in portrait (screen at
// (127, 0), 1:1). Every position below is worked out by hand from those numbers.

#include "config/tempconfig.h"
#include "config/themeprofile.h"
#include "editor/selfplaintextedit.h"
#include "editor/zoomwidget.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace korvo;

using SlotRow = std::array<int, SlotCount>;
using PointList = QVector<QPoint>;
Q_DECLARE_METATYPE(SlotRow)

namespace {

constexpr QSize LandscapeWidget(435, 312);
constexpr QSize PortraitWidget(425, 322);

// A custom layout in five slots showing the first five figures, or only the free text.
ThemeProfile customProfile(int hor, bool figures, const QString& freeText)
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
    return profile;
}

void moveWithButton(QWidget* widget, const QPoint& pos)
{
    QMouseEvent event(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void hoverAt(QWidget* widget, const QPoint& pos)
{
    QMouseEvent event(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void wheel(QWidget* widget, int delta)
{
    const QPointF pos(200, 150);
    QWheelEvent event(pos, widget->mapToGlobal(pos.toPoint()), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class TestZoomWidgetGestures : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void slotDrag_data();
    void slotDrag();
    void freeTextDragAndUndo_data();
    void freeTextDragAndUndo();
    void wheelZoom_data();
    void wheelZoom();
    void frameResize_data();
    void frameResize();
    void moveThePicture();
    void typeTheFreeText_data();
    void typeTheFreeText();
    void cutWhenTurningToPortrait_data();
    void cutWhenTurningToPortrait();
    void longPaste();
    void cancelledTextStaysCancelled();

private:
    // A shown editor with the given layout, painted once so that its hit areas exist.
    ZoomWidget* makeWidget(const ThemeProfile& profile);

    std::unique_ptr<TempConfig> temp;
    std::unique_ptr<ZoomWidget> widget;
};

void TestZoomWidgetGestures::init()
{
    temp = std::make_unique<TempConfig>();
    QVERIFY(QDir().mkpath(temp->configDir()));
}

void TestZoomWidgetGestures::cleanup()
{
    widget.reset();
    temp.reset();
}

ZoomWidget* TestZoomWidgetGestures::makeWidget(const ThemeProfile& profile)
{
    widget = std::make_unique<ZoomWidget>();
    widget->resize(profile.Hor == 1 ? PortraitWidget : LandscapeWidget);
    widget->LoadLayout(profile, true);
    widget->show();
    if (!QTest::qWaitForWindowExposed(widget.get()))
        return nullptr;
    widget->repaint();
    return widget.get();
}

void TestZoomWidgetGestures::slotDrag_data()
{
    QTest::addColumn<int>("hor");
    QTest::addColumn<int>("hiddenKind");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<bool>("dragStarts");
    QTest::addColumn<SlotRow>("expected");

    // Landscape slot centres: slot 0 (68, 81), slot 1 (68, 216), slot 2 (217, 142), slot 3 (361, 216),
    // slot 4 (361, 81). The default row is 0, 1, 3, 2, 4.
    QTest::newRow("swap slot 0 with slot 3")
        << 0 << -1 << QPoint(68, 81) << QPoint(361, 216) << true << SlotRow{2, 1, 3, 0, 4};
    QTest::newRow("centre to corner") << 0 << -1 << QPoint(217, 142) << QPoint(68, 216) << true
                                      << SlotRow{0, 3, 1, 2, 4};
    // Slot 0 reaches 12 pixels left of the slot and 40 below it, where its label stands.
    QTest::newRow("picked by its label") << 0 << -1 << QPoint(3, 120) << QPoint(361, 81) << true
                                         << SlotRow{4, 1, 3, 2, 0};
    QTest::newRow("onto an empty slot") << 0 << int(CpuPower) << QPoint(68, 81) << QPoint(361, 81) << true
                                        << SlotRow{-1, 1, 3, 2, 0};
    QTest::newRow("press on an empty slot")
        << 0 << int(CpuPower) << QPoint(361, 81) << QPoint(68, 81) << false << SlotRow{0, 1, 3, 2, -1};
    QTest::newRow("released outside every slot")
        << 0 << -1 << QPoint(68, 81) << QPoint(217, 20) << true << SlotRow{0, 1, 3, 2, 4};
    QTest::newRow("press between the slots")
        << 0 << -1 << QPoint(217, 60) << QPoint(68, 81) << false << SlotRow{0, 1, 3, 2, 4};
    // Portrait: slot 0 centre (161, 30), slot 3 centre (261, 282).
    QTest::newRow("portrait swap") << 1 << -1 << QPoint(161, 30) << QPoint(261, 282) << true << SlotRow{2, 1, 3, 0, 4};
}

void TestZoomWidgetGestures::slotDrag()
{
    QFETCH(int, hor);
    QFETCH(int, hiddenKind);
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(bool, dragStarts);
    QFETCH(SlotRow, expected);

    ZoomWidget* w = makeWidget(customProfile(hor, true, QString()));
    QVERIFY(w);
    w->ResetCustomShow();
    if (hiddenKind >= 0)
        w->SetElementShown(hiddenKind, 0);
    QSignalSpy hideRemote(w, &ZoomWidget::HideRemote);

    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, press);
    QCOMPARE(w->cursor().shape(), dragStarts ? Qt::BitmapCursor : Qt::ArrowCursor);
    if (dragStarts)
        QCOMPARE(w->cursor().pixmap().size(), QSize(32, 32));
    moveWithButton(w, release);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, release);

    QCOMPARE(w->model().working().customShow[0], expected);
    QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(hideRemote.count(), 1);
    QCOMPARE(hideRemote.at(0).at(0).toInt(), 0);
}

void TestZoomWidgetGestures::freeTextDragAndUndo_data()
{
    QTest::addColumn<int>("hor");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<bool>("picked");
    QTest::addColumn<int>("droppedRow");
    QTest::addColumn<int>("history");

    // The text starts in row 1. Landscape rows in preview pixels: row 0 y 54..107, row 1
    // y 126..179, row 2 y 196..249; its pick area reaches 6.75 pixels above its row.
    QTest::newRow("up to row 0") << 0 << "Korvo" << QPoint(217, 151) << QPoint(217, 81) << true << 0 << 2;
    QTest::newRow("down to row 2") << 0 << "Korvo" << QPoint(30, 121) << QPoint(217, 223) << true << 2 << 2;
    QTest::newRow("dropped between rows") << 0 << "Korvo" << QPoint(217, 151) << QPoint(217, 116) << true << 1 << 1;
    QTest::newRow("an empty text is not picked") << 0 << "" << QPoint(217, 151) << QPoint(217, 81) << false << 1 << 1;
    QTest::newRow("pressed above the pick area")
        << 0 << "Korvo" << QPoint(217, 118) << QPoint(217, 81) << false << 1 << 1;
    // Portrait rows: row 0 y 36..73, row 1 y 131..168, row 2 y 225..262, x 137..286.
    QTest::newRow("portrait down to row 2") << 1 << "Korvo" << QPoint(212, 150) << QPoint(212, 240) << true << 2 << 2;
}

void TestZoomWidgetGestures::freeTextDragAndUndo()
{
    QFETCH(int, hor);
    QFETCH(QString, text);
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(bool, picked);
    QFETCH(int, droppedRow);
    QFETCH(int, history);

    ZoomWidget* w = makeWidget(customProfile(hor, false, text));
    QVERIFY(w);
    QCOMPARE(w->model().working().curRectId, 1);
    w->SetEditingActive(true);

    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, press);
    QCOMPARE(w->cursor().shape(), picked ? Qt::BitmapCursor : Qt::ArrowCursor);
    moveWithButton(w, release);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, release);
    QCOMPARE(w->model().working().curRectId, droppedRow);
    QCOMPARE(int(w->model().editHistory().size()), history);
    QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);

    w->UndoEdit(false);
    QCOMPARE(w->model().working().curRectId, 1);
    QCOMPARE(w->model().working().record.String_[FreeText], text);
}

void TestZoomWidgetGestures::wheelZoom_data()
{
    QTest::addColumn<bool>("editMode");
    QTest::addColumn<int>("forward");
    QTest::addColumn<int>("backward");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("history");

    QTest::newRow("five steps in") << true << 5 << 0 << -20 << 6;
    QTest::newRow("five in, two out") << true << 5 << 2 << -12 << 8;
    QTest::newRow("back to the fitted size") << true << 5 << 5 << 0 << 11;
    QTest::newRow("never below the fitted size") << true << 5 << 9 << 0 << 11;
    QTest::newRow("out from the start changes nothing") << true << 0 << 3 << 0 << 1;
    QTest::newRow("outside background edit mode") << false << 5 << 0 << 0 << 1;
}

void TestZoomWidgetGestures::wheelZoom()
{
    QFETCH(bool, editMode);
    QFETCH(int, forward);
    QFETCH(int, backward);
    QFETCH(int, zoom);
    QFETCH(int, history);

    ZoomWidget* w = makeWidget(customProfile(0, true, QString()));
    QVERIFY(w);
    w->SetEditingActive(true);
    w->SetBackgroundEditMode(editMode);
    for (int i = 0; i < forward; ++i)
        wheel(w, 120);
    for (int i = 0; i < backward; ++i)
        wheel(w, -120);
    const LayoutRecord& record = w->model().working().record;
    QCOMPARE(record.XZoom, zoom);
    QCOMPARE(record.YZoom, zoom);
    QCOMPARE(int(w->model().editHistory().size()), history);
}

void TestZoomWidgetGestures::frameResize_data()
{
    QTest::addColumn<int>("hor");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<int>("hit");
    QTest::addColumn<PointList>("moves");
    QTest::addColumn<int>("amount");
    QTest::addColumn<QRect>("frame");

    // Landscape frame before any resize: (1, 0) to (433, 311); the amount runs 1..41.
    QTest::newRow("top edge down by 10 from 1")
        << 0 << QPoint(200, 2) << 7 << PointList{{200, 0}, {200, 10}} << 11 << QRect(QPoint(1, 11), QPoint(433, 300));
    QTest::newRow("top edge stops at the screen")
        << 0 << QPoint(200, 2) << 7 << PointList{{200, 0}, {200, 100}} << 41 << QRect(QPoint(1, 41), QPoint(433, 270));
    QTest::newRow("beyond the bound stays") << 0 << QPoint(200, 2) << 7 << PointList{{200, 0}, {200, 100}, {200, 130}}
                                            << 41 << QRect(QPoint(1, 41), QPoint(433, 270));
    QTest::newRow("back up never below 1")
        << 0 << QPoint(200, 2) << 7 << PointList{{200, 0}, {200, 20}, {200, 5}, {200, -30}} << 1
        << QRect(QPoint(1, 1), QPoint(433, 310));
    QTest::newRow("bottom edge up") << 0 << QPoint(200, 308) << 8 << PointList{{200, 310}, {200, 290}} << 21
                                    << QRect(QPoint(1, 21), QPoint(433, 290));
    QTest::newRow("top-left handle") << 0 << QPoint(10, 10) << 0 << PointList{{10, 5}, {10, 25}} << 21
                                     << QRect(QPoint(1, 21), QPoint(433, 290));
    QTest::newRow("bottom-right handle") << 0 << QPoint(425, 305) << 3 << PointList{{425, 306}, {425, 296}} << 11
                                         << QRect(QPoint(1, 11), QPoint(433, 300));
    QTest::newRow("left edge does not resize in landscape")
        << 0 << QPoint(3, 150) << 5 << PointList{{50, 150}} << 0 << QRect(QPoint(1, 0), QPoint(433, 311));
    QTest::newRow("inside moves instead")
        << 0 << QPoint(200, 150) << 4 << PointList{{200, 170}} << 0 << QRect(QPoint(1, 0), QPoint(433, 311));
    // Portrait frame: (1, 0) to (423, 321); the amount runs up to 127.
    QTest::newRow("portrait left edge") << 1 << QPoint(3, 160) << 5 << PointList{{1, 160}, {53, 160}} << 53
                                        << QRect(QPoint(54, 0), QPoint(370, 321));
    QTest::newRow("portrait right edge stops at the screen")
        << 1 << QPoint(419, 160) << 6 << PointList{{421, 160}, {200, 160}} << 127
        << QRect(QPoint(128, 0), QPoint(296, 321));
    QTest::newRow("top edge does not resize in portrait")
        << 1 << QPoint(200, 2) << 7 << PointList{{200, 50}} << 0 << QRect(QPoint(1, 0), QPoint(423, 321));
}

void TestZoomWidgetGestures::frameResize()
{
    QFETCH(int, hor);
    QFETCH(QPoint, press);
    QFETCH(int, hit);
    QFETCH(PointList, moves);
    QFETCH(int, amount);
    QFETCH(QRect, frame);

    ZoomWidget* w = makeWidget(customProfile(hor, true, QString()));
    QVERIFY(w);
    w->SetEditingActive(true);
    w->SetBackgroundEditMode(true);
    hoverAt(w, press);
    QCOMPARE(w->hitCode(), hit);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, press);
    for (const QPoint& pos : moves)
        moveWithButton(w, pos);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, moves.last());

    QCOMPARE(hor == 1 ? w->model().portraitResize() : w->model().landscapeResize(), amount);
    QCOMPARE(int(w->model().editHistory().size()), 2);
    w->repaint();
    QCOMPARE(w->frameRect(), frame);
}

void TestZoomWidgetGestures::moveThePicture()
{
    ZoomWidget* w = makeWidget(customProfile(0, true, QString()));
    QVERIFY(w);
    QSignalSpy hideRemote(w, &ZoomWidget::HideRemote);
    w->SetBackgroundEditMode(true);
    hoverAt(w, QPoint(200, 150));
    QCOMPARE(w->cursor().shape(), Qt::SizeAllCursor);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
    moveWithButton(w, QPoint(190, 160));
    moveWithButton(w, QPoint(230, 147));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(230, 147));

    const LayoutRecord& record = w->model().working().record;
    QCOMPARE(QPoint(record.XPt, record.YPt), QPoint(30, -3));
    QCOMPARE(hideRemote.count(), 2);
    QCOMPARE(hideRemote.at(0).at(0).toInt(), 1);
    QCOMPARE(hideRemote.at(1).at(0).toInt(), 0);

    // Outside the frame (its right column is 433) a press moves nothing.
    hoverAt(w, QPoint(434, 150));
    QCOMPARE(w->hitCode(), -1);
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(434, 150));
    moveWithButton(w, QPoint(400, 100));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(400, 100));
    QCOMPARE(QPoint(record.XPt, record.YPt), QPoint(30, -3));
}

void TestZoomWidgetGestures::typeTheFreeText_data()
{
    QTest::addColumn<int>("closeKey");
    QTest::addColumn<QString>("stored");

    QTest::newRow("Return") << int(Qt::Key_Return) << "Hello Korvo";
    QTest::newRow("Enter") << int(Qt::Key_Enter) << "Hello Korvo";
    QTest::newRow("a press on the preview") << 0 << "Hello Korvo";
}

void TestZoomWidgetGestures::typeTheFreeText()
{
    QFETCH(int, closeKey);
    QFETCH(QString, stored);

    ZoomWidget* w = makeWidget(customProfile(0, false, "Hello"));
    QVERIFY(w);
    SelfPlainTextEdit* editor = w->textEditor();
    QSignalSpy hideColor(w, &ZoomWidget::HideColorWin);

    // A double click outside the text's row opens nothing.
    QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(217, 60));
    QVERIFY(editor->isHidden());

    // Row 1 with its extra 3 device pixels: x 14..418, y 126..183.
    QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(217, 182));
    QVERIFY(editor->isVisible());
    QVERIFY(w->model().editing());
    QCOMPARE(editor->geometry(), QRect(14, 126, 405, 58));
    QCOMPARE(editor->font().pixelSize(), 22);
    QCOMPARE(editor->toPlainText(), QString("Hello"));

    QTest::keyClicks(editor, " Korvo");
    if (closeKey != 0)
        QTest::keyClick(editor, Qt::Key(closeKey));
    else
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(editor->isHidden());
    QVERIFY(!w->model().editing());
    QCOMPARE(w->model().working().record.String_[FreeText], stored);
    QCOMPARE(editor->toPlainText(), stored); // Return ended the entry, it broke no line
    QVERIFY(hideColor.count() >= 1);
    QCOMPARE(hideColor.last().at(0).toInt(), 0);

    QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(217, 150));
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->toPlainText(), stored);
}

void TestZoomWidgetGestures::cutWhenTurningToPortrait_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("landscapeLength");

    QTest::newRow("English 55 characters") << true << 55 << 55;
    QTest::newRow("English past 60") << true << 70 << 60;
    QTest::newRow("Chinese past 40") << false << 55 << 40;
}

void TestZoomWidgetGestures::cutWhenTurningToPortrait()
{
    QFETCH(bool, english);
    QFETCH(int, typed);
    QFETCH(int, landscapeLength);

    ZoomWidget* w = makeWidget(customProfile(0, false, QString()));
    QVERIFY(w);
    w->setEnglishInterface(english);
    w->slotShowEdt();
    QTest::keyClicks(w->textEditor(), QString(typed, QLatin1Char('k')));
    QTest::keyClick(w->textEditor(), Qt::Key_Return);
    QCOMPARE(w->model().working().record.String_[FreeText].size(), landscapeLength);

    w->SetOrientation(1);
    w->resize(PortraitWidget);
    QCOMPARE(w->model().working().record.String_[FreeText], QString(40, QLatin1Char('k')));
    w->slotShowEdt();
    QCOMPARE(w->textEditor()->toPlainText(), QString(40, QLatin1Char('k')));
    // Portrait row 1 at 1:1 with 3 extra device pixels; the portrait font is not enlarged.
    QCOMPARE(w->textEditor()->geometry(), QRect(137, 131, 150, 41));
    QCOMPARE(w->textEditor()->font().pixelSize(), 17);
}

void TestZoomWidgetGestures::longPaste()
{
    ZoomWidget* w = makeWidget(customProfile(0, false, "abc"));
    QVERIFY(w);
    w->slotShowEdt();
    LogCapture log;
    QApplication::clipboard()->setText(QString(10000, QChar(0x5B57)));
    w->textEditor()->selectAll();
    w->textEditor()->paste();
    QCOMPARE(LogCapture::lines, QStringList{"The free text of 10000 characters is cut to 40.\n"});
    QTest::keyClick(w->textEditor(), Qt::Key_Return);
    QCOMPARE(w->model().working().record.String_[FreeText], QString(40, QChar(0x5B57)));

    // The editor goes on working after the cut.
    w->slotShowEdt();
    QTest::keyClick(w->textEditor(), Qt::Key_Backspace);
    QTest::keyClicks(w->textEditor(), "!");
    QTest::keyClick(w->textEditor(), Qt::Key_Return);
    QCOMPARE(w->model().working().record.String_[FreeText], QString(39, QChar(0x5B57)) + "!");
}

// Cancelling the edit undoes to the start; the apply that follows stores the editor's text, which
// must then be the restored one.
void TestZoomWidgetGestures::cancelledTextStaysCancelled()
{
    ZoomWidget* w = makeWidget(customProfile(0, false, "Hello"));
    QVERIFY(w);
    w->SetEditingActive(true);
    QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(217, 150));
    QTest::keyClicks(w->textEditor(), " there");
    QTest::keyClick(w->textEditor(), Qt::Key_Return);
    w->SetTextColor(2);
    QCOMPARE(w->model().working().record.String_[FreeText], QString("Hello there"));

    w->UndoEdit(true);
    w->CommitTextEditor();
    QCOMPARE(w->model().working().record.String_[FreeText], QString("Hello"));
    QCOMPARE(w->model().working().record.Color, uint8_t(0));
}

QTEST_MAIN(TestZoomWidgetGestures)
#include "test_zoomwidget_gestures.moc"
