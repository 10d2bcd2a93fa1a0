#include "widgets/tavopushbutton.h"

#include <QSignalSpy>
#include <QtTest>

using korvo::TavoPushButton;

namespace {
void sendCrossing(QWidget* widget, QEvent::Type type)
{
    QEvent event(type);
    QApplication::sendEvent(widget, &event);
}
} // namespace

class TestTavoPushButton : public QObject
{
    Q_OBJECT
private slots:
    void flagSetters_data();
    void flagSetters();
    void leftPress_data();
    void leftPress();
    void crossing_data();
    void crossing();
};

void TestTavoPushButton::flagSetters_data()
{
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("state");

    QTest::newRow("plain") << false << false << true << 0;
    QTest::newRow("checked plain button, enabled") << false << true << true << 0;
    QTest::newRow("checked toggle, enabled") << true << true << true << 1;
    QTest::newRow("disabled") << false << false << false << 3;
}

void TestTavoPushButton::flagSetters()
{
    QFETCH(bool, toggle);
    QFETCH(bool, checked);
    QFETCH(bool, enabled);
    QFETCH(int, state);

    TavoPushButton button;
    button.setButtonChecked(true);
    button.setToggleMode(toggle);
    QCOMPARE(button.state(), 0);
    button.setButtonChecked(checked);
    QCOMPARE(button.state(), checked ? 2 : 0);
    button.setButtonEnabled(enabled);
    QCOMPARE(button.state(), state);
    QCOMPARE(button.isEnabled(), enabled);
}

void TestTavoPushButton::leftPress_data()
{
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("checkedBefore");
    QTest::addColumn<QStringList>("signalsOnPress");
    QTest::addColumn<int>("stateWhileHeld");
    QTest::addColumn<int>("clicks");

    const QStringList all{"mousePressSignal", "EnterSignal", "pressed"};
    QTest::newRow("plain button") << false << true << false << all << 2 << 1;
    QTest::newRow("toggle turning on") << true << true << false << all << 2 << 1;
    QTest::newRow("toggle turning off") << true << true << true << all << 0 << 1;
    QTest::newRow("disabled") << false << false << false << QStringList() << 3 << 0;
}

void TestTavoPushButton::leftPress()
{
    QFETCH(bool, toggle);
    QFETCH(bool, enabled);
    QFETCH(bool, checkedBefore);
    QFETCH(QStringList, signalsOnPress);
    QFETCH(int, stateWhileHeld);
    QFETCH(int, clicks);

    TavoPushButton button;
    button.resize(60, 30);
    button.setToggleMode(toggle);
    button.setButtonChecked(checkedBefore);
    button.setButtonEnabled(enabled);
    QStringList order;
    connect(&button, &TavoPushButton::mousePressSignal, [&](QMouseEvent*) { order << "mousePressSignal"; });
    connect(&button, &TavoPushButton::EnterSignal, [&](TavoPushButton*) { order << "EnterSignal"; });
    connect(&button, &QAbstractButton::pressed, [&] { order << "pressed"; });
    QSignalSpy clicked(&button, &QAbstractButton::clicked);

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 15));
    QCOMPARE(order, signalsOnPress);
    QCOMPARE(button.buttonChecked(), enabled ? !checkedBefore : checkedBefore);
    QCOMPARE(button.state(), stateWhileHeld);
    QCOMPARE(clicked.count(), 0);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 15));
    QCOMPARE(clicked.count(), clicks);
}

void TestTavoPushButton::crossing_data()
{
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("pressFirst");
    QTest::addColumn<int>("stateInside");
    QTest::addColumn<int>("overSignals");
    QTest::addColumn<int>("stateAfterLeave");

    QTest::newRow("plain button") << false << false << false << 1 << 2 << 0;
    QTest::newRow("toggle, checked") << true << true << false << 2 << 2 << 2;
    // A press that opens a dialog takes the pointer away; that leave is not reported.
    QTest::newRow("leave right after a press") << false << false << true << 2 << 1 << 0;
}

void TestTavoPushButton::crossing()
{
    QFETCH(bool, toggle);
    QFETCH(bool, checked);
    QFETCH(bool, pressFirst);
    QFETCH(int, stateInside);
    QFETCH(int, overSignals);
    QFETCH(int, stateAfterLeave);

    TavoPushButton button;
    button.resize(60, 30);
    button.setToggleMode(toggle);
    button.setButtonChecked(checked);
    QSignalSpy over(&button, &TavoPushButton::OverSignal);

    sendCrossing(&button, QEvent::Enter);
    QCOMPARE(over.count(), 1);
    QCOMPARE(over.at(0).at(1).toBool(), true);
    if (pressFirst)
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 15));
    QCOMPARE(button.state(), stateInside);

    sendCrossing(&button, QEvent::Leave);
    QCOMPARE(over.count(), overSignals);
    QCOMPARE(over.last().at(1).toBool(), overSignals == 1);
    QCOMPARE(button.state(), stateAfterLeave);
}

QTEST_MAIN(TestTavoPushButton)
#include "test_tavopushbutton.moc"
