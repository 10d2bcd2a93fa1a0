// SPDX-License-Identifier: GPL-3.0-or-later
#include "contrast.h"
#include "editor/colorbar.h"
#include "editor/editbar.h"
#include "widgets/presswidgets.h"
#include "widgets/tavopushbutton.h"

#include <QSignalSpy>
#include <QtTest>

using namespace korvo;

class TestEditBar : public QObject
{
    Q_OBJECT

    QStringList log; // every signal of the bar, in the order it came, as "name value"

    void record(EditBar* bar)
    {
        log.clear();
        const auto note = [this](const char* name) {
            return [this, name](quint8 v) { log << name + QString::number(v); };
        };
        connect(bar, &EditBar::SendFontSize, note("SendFontSize "));
        connect(bar, &EditBar::SendEdit, note("SendEdit "));
        connect(bar, &EditBar::ShowColorbarSignal, note("ShowColorbarSignal "));
        connect(bar, &EditBar::SendImageReset, [this] { log << "SendImageReset"; });
        connect(bar, &EditBar::SizeClicked, [this] { log << "SizeClicked"; });
    }

private slots:
    // The size list is dark like the bar it stands on, and its text reads at 4.5 : 1. An undo moves it
    // without a signal, and the user's next choice still sends one, also when the undo restored the
    // size already shown.
    void sizeList()
    {
        EditBar bar;
        record(&bar);
        auto* sizeList = bar.findChild<PressCombobox*>("sizeList");
        const QImage drawn = sizeList->grab().toImage();
        QVERIFY(luminance(groundOf(drawn)) < 0.05);
        QVERIFY(inkContrast(drawn) >= 4.5);
        bar.slotSetFontSize(0);
        QCOMPARE(sizeList->currentText(), QString::fromUtf8("大"));
        QTest::keyClick(sizeList, Qt::Key_Down);
        bar.slotSetFontSize(2);
        QTest::keyClick(sizeList, Qt::Key_Up);
        QCOMPARE(log, (QStringList{"SendFontSize 1", "SendFontSize 1"}));
    }

    void userGestures_data()
    {
        QTest::addColumn<QStringList>("gestures");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("clip on and off") << QStringList{"btnClip", "btnClip"}
                                         << QStringList{"SendEdit 1", "SendEdit 0"};
        QTest::newRow("back while clipping")
            << QStringList{"btnClip", "btnBack"} << QStringList{"SendEdit 1", "SendEdit 0", "SendImageReset"};
        QTest::newRow("indicator, under the type icon, ends clipping")
            << QStringList{"btnClip", "typeIcon"} << QStringList{"SendEdit 1", "ShowColorbarSignal 1", "SendEdit 0"};
        QTest::newRow("size list ends clipping")
            << QStringList{"btnClip", "sizeList"} << QStringList{"SendEdit 1", "SizeClicked", "SendEdit 0"};
    }

    void userGestures()
    {
        QFETCH(QStringList, gestures);
        QFETCH(QStringList, expected);
        QWidget window;
        auto* bar = new EditBar(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        record(bar);
        for (const QString& name : gestures) {
            QWidget* target = bar->findChild<QWidget*>(name);
            QVERIFY(target);
            if (name == "typeIcon")
                target = bar->childAt(target->geometry().center());
            QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
            if (auto* combo = qobject_cast<QComboBox*>(target))
                combo->hidePopup();
        }
        QCOMPARE(log, expected);
        QVERIFY(!bar->findChild<TavoPushButton*>("btnClip")->buttonChecked());
    }

    // The last swatch of the pop-up colour bar (green, 20 x 22 at (129, 17)), clicked at its far
    // corner, chooses its colour and closes the bar.
    void colours()
    {
        ColorBar bar;
        bar.show();
        QSignalSpy chosen(&bar, &ColorBar::SendFontColor);
        QWidget* swatch = bar.childAt(148, 38);
        QVERIFY(swatch);
        QTest::mouseClick(swatch, Qt::LeftButton, {}, swatch->mapFrom(&bar, QPoint(148, 38)));
        QCOMPARE(QList<QList<QVariant>>(chosen), QList<QList<QVariant>>{{5}});
        QVERIFY(!bar.isVisible());
    }
};

QTEST_MAIN(TestEditBar)
#include "test_editbar.moc"
