// SPDX-License-Identifier: GPL-3.0-or-later
// The layout editor driven by real events at the main window's sizes: 435 x 312 in landscape (screen at
// (1, 41), 1.35 preview pixels per device pixel), 425 x 322 in portrait (screen at (127, 0), 1:1).

#include "compose/applyrenderer.h"
#include "config/themeprofile.h"
#include "editor/selfplaintextedit.h"
#include "editor/zoomwidget.h"
#include "logcapture.h"

#include <QApplication>
#include <QClipboard>
#include <QtTest>

using namespace korvo;

using SlotRow = std::array<int, SlotCount>;
using PointList = QVector<QPoint>;
using SlotDrag = std::tuple<int, int, QPoint, QPoint, bool, SlotRow>;
using TextDrag = std::tuple<int, QString, QPoint, QPoint, int>;
using Wheel = std::tuple<bool, int, int, int, int>;
using FrameDrag = std::tuple<int, QPoint, PointList, int, QRect, QPoint>;
Q_DECLARE_METATYPE(SlotDrag)
Q_DECLARE_METATYPE(TextDrag)
Q_DECLARE_METATYPE(Wheel)
Q_DECLARE_METATYPE(FrameDrag)

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

// The preview as it paints itself, without the editor that may lie over it.
QImage ownPicture(QWidget* widget)
{
    QImage own(widget->size(), QImage::Format_RGB32);
    own.fill(Qt::black);
    widget->render(&own, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return own;
}

QRect changedArea(const QImage& before, const QImage& after)
{
    QRect area;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x)
            area |= before.pixel(x, y) != after.pixel(x, y) ? QRect(x, y, 1, 1) : QRect();
    }
    return area;
}

// Red pixels of the free text's row 1 as the preview paints it.
int redInRow(QWidget* widget)
{
    const QImage own = ownPicture(widget);
    int red = 0;
    for (int n = 0; n < 405 * 58; ++n) {
        const QRgb p = own.pixel(14 + n % 405, 126 + n / 405);
        red += qRed(p) > 128 && qRed(p) > 2 * qGreen(p) ? 1 : 0;
    }
    return red;
}

} // namespace

class TestZoomWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<ZoomWidget> widget;

    // A shown editor with the given layout, painted once so that its hit areas exist.
    ZoomWidget* makeWidget(const ThemeProfile& profile, bool editing = false)
    {
        widget = std::make_unique<ZoomWidget>();
        widget->resize(profile.Hor == 1 ? QSize(425, 322) : QSize(435, 312));
        widget->LoadLayout(profile, true);
        widget->show();
        if (!QTest::qWaitForWindowExposed(widget.get()))
            QTest::qFail("the editor was never shown", __FILE__, __LINE__);
        widget->repaint();
        widget->SetEditingActive(editing);
        return widget.get();
    }

private slots:
    void cleanup() { widget.reset(); }

    void slotDrag_data()
    {
        QTest::addColumn<SlotDrag>("row");
        // Landscape slot centres: 0 (68, 81), 1 (68, 216), 2 (217, 142), 3 (361, 216), 4 (361, 81); the
        // default row is 0, 1, 3, 2, 4.
        QTest::newRow("swap slot 0 with slot 3") << SlotDrag{0, -1, {68, 81}, {361, 216}, true, {2, 1, 3, 0, 4}};
        QTest::newRow("press on an empty slot") << SlotDrag{0, CpuPower, {361, 81}, {68, 81}, false, {0, 1, 3, 2, -1}};
    }

    void slotDrag()
    {
        QFETCH(SlotDrag, row);
        const auto& [hor, hiddenKind, press, release, dragStarts, expected] = row;
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
        QTest::addColumn<TextDrag>("row");
        // The text starts in row 1. Landscape rows in preview pixels: row 0 y 54..107, row 1 y 126..179,
        // row 2 y 196..249; its pick area reaches 6.75 pixels above its row. Portrait rows: row 0 y
        // 36..73, row 1 y 131..168, row 2 y 225..262, x 137..286.
        QTest::newRow("up to row 0") << TextDrag{0, "Korvo", {217, 151}, {217, 81}, 0};
        QTest::newRow("down to row 2 from above the row") << TextDrag{0, "Korvo", {30, 121}, {217, 223}, 2};
        QTest::newRow("an empty text is not picked") << TextDrag{0, "", {217, 151}, {217, 81}, 1};
        QTest::newRow("portrait down to row 2") << TextDrag{1, "Korvo", {212, 150}, {212, 240}, 2};
    }

    void freeTextDragAndUndo()
    {
        QFETCH(TextDrag, row);
        const auto& [hor, text, press, release, droppedRow] = row;
        ZoomWidget* w = makeWidget(customProfile(hor, false, text), true);
        drag(w, press, {release});
        QCOMPARE(w->model().working().curRectId, droppedRow);
        QCOMPARE(int(w->model().editHistory().size()), droppedRow == 1 ? 1 : 2);
        w->UndoEdit(false);
        QCOMPARE(w->model().working().curRectId, 1);
        QCOMPARE(w->model().working().record.String_[FreeText], text);
    }

    void wheelZoom_data()
    {
        QTest::addColumn<Wheel>("row");
        QTest::newRow("never below the fitted size") << Wheel{true, 5, 9, 0, 11};
        QTest::newRow("outside background edit mode") << Wheel{false, 5, 0, 0, 1};
        // A load refuses an inset beyond 1024: the wheel stops there (4 per step), and a step that
        // changes nothing adds no snapshot.
        QTest::newRow("stops where a load would refuse") << Wheel{true, 300, 0, -1024, 257};
    }

    void wheelZoom()
    {
        QFETCH(Wheel, row);
        const auto& [editMode, forward, backward, zoom, history] = row;
        ZoomWidget* w = makeWidget(customProfile(0, true, QString()), true);
        w->SetBackgroundEditMode(editMode);
        for (int i = 0; i < forward + backward; ++i) {
            QWheelEvent event(QPointF(200, 150), w->mapToGlobal(QPoint(200, 150)), QPoint(),
                              QPoint(0, i < forward ? 120 : -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(w, &event);
        }
        const LayoutRecord& record = w->model().working().record;
        QCOMPARE(QPoint(record.XZoom, record.YZoom), QPoint(zoom, zoom));
        QCOMPARE(int(w->model().editHistory().size()), history);
    }

    void frameResizeAndMove_data()
    {
        QTest::addColumn<FrameDrag>("row");
        // Landscape frame before any resize: (1, 0) to (433, 311), the amount runs 1..41; portrait
        // frame (1, 0) to (423, 321), the amount runs up to 127.
        const QRect whole(QPoint(1, 0), QPoint(433, 311));
        QTest::newRow("top edge stops at the screen")
            << FrameDrag{0, {200, 2}, {{200, 0}, {200, 130}}, 41, {QPoint(1, 41), QPoint(433, 270)}, {}};
        QTest::newRow("back up never below 1") << FrameDrag{
            0, {200, 2}, {{200, 0}, {200, 20}, {200, 5}, {200, -30}}, 1, {QPoint(1, 1), QPoint(433, 310)}, {}};
        QTest::newRow("bottom-right handle")
            << FrameDrag{0, {425, 305}, {{425, 306}, {425, 296}}, 11, {QPoint(1, 11), QPoint(433, 300)}, {}};
        QTest::newRow("left edge does not resize in landscape") << FrameDrag{0, {3, 150}, {{50, 150}}, 0, whole, {}};
        QTest::newRow("inside moves the picture")
            << FrameDrag{0, {200, 150}, {{190, 160}, {230, 147}}, 0, whole, {30, -3}};
        QTest::newRow("moves stop where a load would refuse")
            << FrameDrag{0, {200, 150}, {{5200, -5850}}, 0, whole, {4096, -4096}};
        QTest::newRow("portrait right edge stops at the screen")
            << FrameDrag{1, {419, 160}, {{421, 160}, {200, 160}}, 127, {QPoint(128, 0), QPoint(296, 321)}, {}};
    }

    void frameResizeAndMove()
    {
        QFETCH(FrameDrag, row);
        const auto& [hor, press, moves, amount, frame, offset] = row;
        ZoomWidget* w = makeWidget(customProfile(hor, true, QString()), true);
        w->SetBackgroundEditMode(true);
        move(w, press, Qt::NoButton);
        drag(w, press, moves);
        QCOMPARE(hor == 1 ? w->model().portraitResize() : w->model().landscapeResize(), amount);
        const LayoutRecord& record = w->model().working().record;
        QCOMPARE(QPoint(record.XPt, record.YPt), offset);
        w->repaint();
        QCOMPARE(w->frameRect(), frame);
        QCOMPARE(int(w->model().editHistory().size()), 2); // the release can be undone
    }

    void typeTheFreeText_data()
    {
        QTest::addColumn<int>("closeKey");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("a press on the preview") << 0;
        QTest::newRow("editing switched off") << -1; // by a bar button or apply, which take no focus
    }

    void typeTheFreeText()
    {
        QFETCH(int, closeKey);
        ThemeProfile profile = customProfile(0, false, "Hello");
        profile.custom[0].Color = 2; // red (255, 100, 34)
        ZoomWidget* w = makeWidget(profile, true);
        SelfPlainTextEdit* editor = w->textEditor();
        QVERIFY(redInRow(w) > 30);
        // A double click outside the text's row opens nothing.
        QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(217, 60));
        QVERIFY(editor->isHidden());

        // Row 1 with its extra 3 device pixels: x 14..418, y 126..183.
        const QImage shown = ownPicture(w);
        QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(217, 182));
        QVERIFY(editor->isVisible());
        QCOMPARE(redInRow(w), 0); // the open editor shows the text, the preview must not show it twice
        // It opens where the text was.
        QVERIFY(editor->geometry().contains(changedArea(shown, ownPicture(w))));
        QCOMPARE(editor->maxLength(), 40);
        QTest::keyClicks(editor, " Korvo");
        if (closeKey > 0)
            QTest::keyClick(editor, Qt::Key(closeKey));
        else if (closeKey < 0)
            w->SetEditingActive(false);
        else
            QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(editor->isHidden());
        QVERIFY(redInRow(w) > 30);
        QCOMPARE(w->model().working().record.String_[FreeText], QString("Hello Korvo"));
        QCOMPARE(editor->toPlainText(), QString("Hello Korvo")); // Return ended the entry, it broke no line
        if (closeKey < 0)
            return;
        // An undo steps back one colour, cancelling undoes to the start, and the colour bar follows.
        // The apply that follows stores the editor's text, which must then be the restored one.
        QSignalSpy colours(w, &ZoomWidget::UndoColorSignal);
        w->SetTextColor(3);
        w->SetTextColor(4);
        w->UndoEdit(false);
        w->UndoEdit(true);
        w->CommitTextEditor();
        QCOMPARE(w->model().working().record.String_[FreeText], QString("Hello"));
        QCOMPARE(QList<QList<QVariant>>(colours), (QList<QList<QVariant>>{{3}, {2}}));
    }

    // English texts run to 60 in landscape (Chinese ones to 40, see typeTheFreeText), 40 in portrait.
    void longTextsAreCut()
    {
        ZoomWidget* w = makeWidget(customProfile(0, false, QString()));
        w->setEnglishInterface(true);
        w->slotShowEdt();
        LogCapture log;
        QApplication::clipboard()->setText(QString(10000, QLatin1Char('k')));
        w->textEditor()->paste();
        QTest::keyClick(w->textEditor(), Qt::Key_Return);
        QCOMPARE(LogCapture::lines, QStringList{"The free text of 10000 characters is cut to 60.\n"});
        QCOMPARE(w->model().working().record.String_[FreeText].size(), 60);

        w->SetOrientation(1);
        w->resize(425, 322);
        QCOMPARE(w->model().working().record.String_[FreeText], QString(40, QLatin1Char('k')));
        QCOMPARE(w->textEditor()->maxLength(), 40);
        const QImage shown = ownPicture(w);
        w->slotShowEdt();
        QVERIFY(w->textEditor()->geometry().contains(changedArea(shown, ownPicture(w))));
    }

    // A figure the machine does not give shows in the preview as the screen shows it, "--" and its
    // unit, pixel for pixel as in the frame, in portrait (1:1); the other figures keep their sample
    // texts. Compared: the top row, slot 0 (CPU temperature) and slot 4 (CPU power). The chosen
    // picture was removed since it was stored: one line says so.
    void unavailableFigureAndPicture()
    {
        const QTemporaryDir dir;
        const QString path = dir.filePath("chosen.png");
        LogCapture log;
        ZoomWidget* w = makeWidget(customProfile(1, true, QString(), path));
        QCOMPARE(LogCapture::lines.filter("Unable to load the picture " + path).size(), 1);
        w->ResetCustomShow();
        w->setUnavailableFigures(metrics::FigureSet().set(size_t(CpuPower)));
        LayoutState screen = w->model().working();
        screen.record.String_[CpuPower] = "--w";
        const QImage frame = compose::composeFrame(screen, w->model().previewBackground(), w->size()).frame;
        const QRect topRow(0, 10, 170, 40);
        QCOMPARE(ownPicture(w).copy(topRow.translated(127, 0)).convertToFormat(frame.format()), frame.copy(topRow));
    }
};

QTEST_MAIN(TestZoomWidget)
#include "test_zoomwidget.moc"
