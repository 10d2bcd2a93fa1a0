#include "editor/editbar.h"
#include "widgets/presswidgets.h"
#include "widgets/tavopushbutton.h"

#include <QSignalSpy>
#include <QtTest>

using korvo::EditBar;
using korvo::PressCombobox;
using korvo::PressLabel;
using korvo::TavoPushButton;

namespace {

// Every signal of the bar, in the order it came, as "name value".
QStringList* recordSignals(EditBar* bar)
{
    auto* log = new QStringList;
    QObject::connect(bar, &QObject::destroyed, [log] { delete log; });
    QObject::connect(bar, &EditBar::SendFontSize, [log](quint8 v) { *log << QString("SendFontSize %1").arg(v); });
    QObject::connect(bar, &EditBar::SendFontColor, [log](quint8 v) { *log << QString("SendFontColor %1").arg(v); });
    QObject::connect(bar, &EditBar::SendEdit, [log](quint8 v) { *log << QString("SendEdit %1").arg(v); });
    QObject::connect(bar, &EditBar::SendImageReset, [log] { *log << "SendImageReset"; });
    QObject::connect(bar, &EditBar::ShowColorbarSignal,
                     [log](quint8 v) { *log << QString("ShowColorbarSignal %1").arg(v); });
    QObject::connect(bar, &EditBar::SizeClicked, [log] { *log << "SizeClicked"; });
    return log;
}

void pressOn(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

} // namespace

class TestEditBar : public QObject
{
    Q_OBJECT
private slots:
    void userGestures_data();
    void userGestures();
    void undoChangesSizeSilently_data();
    void undoChangesSizeSilently();
    void retranslationKeepsSizeQuietly();
    void indicatorColour_data();
    void indicatorColour();
};

void TestEditBar::userGestures_data()
{
    QTest::addColumn<QStringList>("gestures");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("clipCheckedAfter");

    QTest::newRow("clip on") << QStringList{"btnClip"} << QStringList{"SendEdit 1"} << true;
    QTest::newRow("clip on and off") << QStringList{"btnClip", "btnClip"} << QStringList{"SendEdit 1", "SendEdit 0"}
                                     << false;
    QTest::newRow("back while clipping") << QStringList{"btnClip", "btnBack"}
                                         << QStringList{"SendEdit 1", "SendEdit 0", "SendImageReset"} << false;
    QTest::newRow("indicator ends clipping")
        << QStringList{"btnClip", "colorIndicator"} << QStringList{"SendEdit 1", "ShowColorbarSignal 1", "SendEdit 0"}
        << false;
    QTest::newRow("size list ends clipping")
        << QStringList{"btnClip", "sizeList"} << QStringList{"SendEdit 1", "SizeClicked", "SendEdit 0"} << false;
    QTest::newRow("inline swatch") << QStringList{"swatch3"} << QStringList{"SendFontColor 3"} << false;
    QTest::newRow("type icon lets the press through")
        << QStringList{"typeIcon"} << QStringList{"ShowColorbarSignal 1", "SendEdit 0"} << false;
}

void TestEditBar::userGestures()
{
    QFETCH(QStringList, gestures);
    QFETCH(QStringList, expected);
    QFETCH(bool, clipCheckedAfter);

    QWidget window;
    auto* bar = new EditBar(&window);
    bar->setSwatchGroupVisible(true);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QStringList* log = recordSignals(bar);

    for (const QString& name : gestures) {
        QWidget* target = bar->findChild<QWidget*>(name);
        QVERIFY(target);
        if (name == "typeIcon")
            target = bar->childAt(target->geometry().center());
        pressOn(target);
        if (auto* combo = qobject_cast<QComboBox*>(target))
            combo->hidePopup();
    }

    QCOMPARE(*log, expected);
    QCOMPARE(bar->findChild<TavoPushButton*>("btnClip")->buttonChecked(), clipCheckedAfter);
}

void TestEditBar::undoChangesSizeSilently_data()
{
    QTest::addColumn<int>("restored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("userKey");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("undo to small, then user picks middle")
        << 2 << QString::fromUtf8("小") << int(Qt::Key_Up) << QStringList{"SendFontSize 1"};
    QTest::newRow("undo to the size shown, then user picks middle")
        << 0 << QString::fromUtf8("大") << int(Qt::Key_Down) << QStringList{"SendFontSize 1"};
}

void TestEditBar::undoChangesSizeSilently()
{
    QFETCH(int, restored);
    QFETCH(QString, shown);
    QFETCH(int, userKey);
    QFETCH(QStringList, expected);

    EditBar bar;
    QStringList* log = recordSignals(&bar);
    auto* sizeList = bar.findChild<PressCombobox*>("sizeList");

    bar.slotSetFontSize(restored);
    QCOMPARE(sizeList->currentText(), shown);
    QVERIFY(log->isEmpty());

    QTest::keyClick(sizeList, Qt::Key(userKey));
    QCOMPARE(sizeList->currentIndex(), 1);
    QCOMPARE(*log, expected);
}

void TestEditBar::retranslationKeepsSizeQuietly()
{
    EditBar bar;
    auto* sizeList = bar.findChild<PressCombobox*>("sizeList");
    QTest::keyClick(sizeList, Qt::Key_End);
    QStringList* log = recordSignals(&bar);

    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&bar, &change);

    QCOMPARE(sizeList->count(), 3);
    QCOMPARE(sizeList->itemText(0), QString::fromUtf8("大"));
    QCOMPARE(sizeList->itemText(1), QString::fromUtf8("中"));
    QCOMPARE(sizeList->currentIndex(), 2);
    QCOMPARE(bar.findChild<TavoPushButton*>("btnClip")->text(), QString::fromUtf8("修剪"));
    QCOMPARE(bar.findChild<TavoPushButton*>("btnBack")->text(), QString::fromUtf8("返回"));
    QVERIFY(log->isEmpty());
}

void TestEditBar::indicatorColour_data()
{
    QTest::addColumn<int>("colour");
    QTest::addColumn<bool>("changes");

    QTest::newRow("yellow") << 3 << true;
    QTest::newRow("green") << 5 << true;
    QTest::newRow("no such colour") << 6 << false;
    QTest::newRow("far out of range") << 255 << false;
}

void TestEditBar::indicatorColour()
{
    QFETCH(int, colour);
    QFETCH(bool, changes);

    EditBar bar;
    auto* indicator = bar.findChild<PressLabel*>("colorIndicator");
    const qint64 before = indicator->pixmap(Qt::ReturnByValue).cacheKey();
    bar.ControlLabelColor(quint8(colour));
    QCOMPARE(indicator->pixmap(Qt::ReturnByValue).cacheKey() != before, changes);
}

QTEST_MAIN(TestEditBar)
#include "test_editbar.moc"
