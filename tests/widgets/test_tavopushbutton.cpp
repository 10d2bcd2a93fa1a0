#include "widgets/tavopushbutton.h"

#include <QtTest>

using korvo::TavoPushButton;

class TestTavoPushButton : public QObject
{
    Q_OBJECT
private slots:
    void pointerVisit_data();
    void pointerVisit();
};

// The pointer enters, maybe presses, leaves (a press that opens a dialog takes the pointer away
// before the release) and releases. States: 0 normal, 1 hover, 2 pressed, 3 disabled.
void TestTavoPushButton::pointerVisit_data()
{
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("press");
    QTest::addColumn<QStringList>("trace");
    QTest::addColumn<QList<int>>("states"); // after the setters, enter, press, leave, release
    QTest::addColumn<bool>("checkedAfter");

    const QStringList pressed{"over", "mousePressSignal", "EnterSignal", "pressed", "release", "clicked"};
    QTest::newRow("plain, passing over") << false << false << true << false << QStringList{"over", "out"}
                                         << QList<int>{0, 1, 0} << false;
    QTest::newRow("plain, pressed") << false << false << true << true << pressed << QList<int>{0, 1, 2, 0, 1} << true;
    QTest::newRow("toggle turning on") << true << false << true << true << pressed << QList<int>{0, 0, 2, 2, 2} << true;
    QTest::newRow("toggle turning off") << true << true << true << true << pressed << QList<int>{1, 1, 0, 0, 0}
                                        << false;
    QTest::newRow("toggle on, passing over")
        << true << true << true << false << QStringList{"over", "out"} << QList<int>{1, 1, 2} << true;
    QTest::newRow("disabled") << false << false << false << true << QStringList{"over", "out", "release"}
                              << QList<int>{3, 3, 3, 3, 3} << false;
}

void TestTavoPushButton::pointerVisit()
{
    QFETCH(bool, toggle);
    QFETCH(bool, checked);
    QFETCH(bool, enabled);
    QFETCH(bool, press);
    QFETCH(QStringList, trace);
    QFETCH(QList<int>, states);
    QFETCH(bool, checkedAfter);

    TavoPushButton button;
    button.resize(60, 30);
    button.setToggleMode(toggle);
    button.setButtonChecked(checked);
    button.setButtonEnabled(enabled);
    QStringList seen;
    connect(&button, &TavoPushButton::OverSignal, [&](TavoPushButton*, bool in) { seen << (in ? "over" : "out"); });
    connect(&button, &TavoPushButton::mousePressSignal, [&](QMouseEvent*) { seen << "mousePressSignal"; });
    connect(&button, &TavoPushButton::EnterSignal, [&](TavoPushButton*) { seen << "EnterSignal"; });
    connect(&button, &QAbstractButton::pressed, [&] { seen << "pressed"; });
    connect(&button, &QAbstractButton::clicked, [&] { seen << "clicked"; });
    QList<int> seenStates{button.state()};
    QEvent enter(QEvent::Enter), leave(QEvent::Leave);

    QApplication::sendEvent(&button, &enter);
    seenStates << button.state();
    if (press) {
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 15));
        seenStates << button.state();
    }
    QApplication::sendEvent(&button, &leave);
    seenStates << button.state();
    if (press) {
        seen << "release";
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 15));
        seenStates << button.state();
    }
    QCOMPARE(seen, trace);
    QCOMPARE(seenStates, states);
    QCOMPARE(button.buttonChecked(), checkedAfter);
}

QTEST_MAIN(TestTavoPushButton)
#include "test_tavopushbutton.moc"
