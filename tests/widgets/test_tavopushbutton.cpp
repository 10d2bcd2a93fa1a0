#include "widgets/tavopushbutton.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using korvo::TavoPushButton;

namespace {

void sendCrossing(QWidget* widget, QEvent::Type type)
{
    QEvent event(type);
    QApplication::sendEvent(widget, &event);
}

QString writePicture(const QString& dir, const QString& name, const QColor& color)
{
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(color);
    const QString path = dir + "/" + name;
    image.save(path);
    return path;
}

QColor centreColour(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
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
    void pressesThatDoNothing_data();
    void pressesThatDoNothing();
    void crossing_data();
    void crossing();
    void leaveRightAfterPressIsSilent();
    void picturePerState_data();
    void picturePerState();
    void colourFillWithoutPicture();
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
    QTest::newRow("unchecked toggle, enabled") << true << false << true << 0;
    QTest::newRow("disabled") << false << false << false << 3;
    QTest::newRow("checked toggle, disabled") << true << true << false << 3;
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
    QTest::addColumn<bool>("checkedBefore");
    QTest::addColumn<bool>("checkedAfter");
    QTest::addColumn<int>("stateWhileHeld");

    QTest::newRow("plain button") << false << false << true << 2;
    QTest::newRow("toggle turning on") << true << false << true << 2;
    QTest::newRow("toggle turning off") << true << true << false << 0;
}

void TestTavoPushButton::leftPress()
{
    QFETCH(bool, toggle);
    QFETCH(bool, checkedBefore);
    QFETCH(bool, checkedAfter);
    QFETCH(int, stateWhileHeld);

    TavoPushButton button;
    button.resize(60, 30);
    button.setToggleMode(toggle);
    button.setButtonChecked(checkedBefore);
    QStringList order;
    connect(&button, &TavoPushButton::mousePressSignal, [&](QMouseEvent*) { order << "mousePressSignal"; });
    connect(&button, &TavoPushButton::EnterSignal, [&](TavoPushButton* sender) {
        QCOMPARE(sender, &button);
        order << "EnterSignal";
    });
    connect(&button, &QAbstractButton::pressed, [&] { order << "pressed"; });
    QSignalSpy clicked(&button, &QAbstractButton::clicked);

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 15));
    QCOMPARE(order, QStringList({"mousePressSignal", "EnterSignal", "pressed"}));
    QCOMPARE(button.buttonChecked(), checkedAfter);
    QCOMPARE(button.state(), stateWhileHeld);
    QCOMPARE(clicked.count(), 0);

    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 15));
    QCOMPARE(clicked.count(), 1);
}

void TestTavoPushButton::pressesThatDoNothing_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("mouseButton");

    QTest::newRow("disabled, left button") << false << int(Qt::LeftButton);
    QTest::newRow("enabled, right button") << true << int(Qt::RightButton);
}

void TestTavoPushButton::pressesThatDoNothing()
{
    QFETCH(bool, enabled);
    QFETCH(int, mouseButton);

    TavoPushButton button;
    button.resize(60, 30);
    button.setButtonEnabled(enabled);
    QSignalSpy pressSignal(&button, &TavoPushButton::mousePressSignal);
    QSignalSpy clicked(&button, &QAbstractButton::clicked);

    QTest::mouseClick(&button, Qt::MouseButton(mouseButton), {}, QPoint(30, 15));
    QCOMPARE(pressSignal.count(), 0);
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(button.buttonChecked(), false);
}

void TestTavoPushButton::crossing_data()
{
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("stateInside");
    QTest::addColumn<int>("stateAfterLeave");

    QTest::newRow("plain button") << false << false << 1 << 0;
    QTest::newRow("toggle, unchecked") << true << false << 0 << 0;
    QTest::newRow("toggle, checked") << true << true << 2 << 2;
}

void TestTavoPushButton::crossing()
{
    QFETCH(bool, toggle);
    QFETCH(bool, checked);
    QFETCH(int, stateInside);
    QFETCH(int, stateAfterLeave);

    TavoPushButton button;
    button.setToggleMode(toggle);
    button.setButtonChecked(checked);
    QSignalSpy over(&button, &TavoPushButton::OverSignal);

    sendCrossing(&button, QEvent::Enter);
    QCOMPARE(over.count(), 1);
    QCOMPARE(over.at(0).at(1).toBool(), true);
    QCOMPARE(button.state(), stateInside);

    sendCrossing(&button, QEvent::Leave);
    QCOMPARE(over.count(), 2);
    QCOMPARE(over.at(1).at(1).toBool(), false);
    QCOMPARE(button.state(), stateAfterLeave);
}

void TestTavoPushButton::leaveRightAfterPressIsSilent()
{
    TavoPushButton button;
    button.resize(60, 30);
    sendCrossing(&button, QEvent::Enter);
    QSignalSpy over(&button, &TavoPushButton::OverSignal);

    // A press that opens a dialog loses the pointer without a release.
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 15));
    sendCrossing(&button, QEvent::Leave);
    QCOMPARE(over.count(), 0);

    sendCrossing(&button, QEvent::Enter);
    sendCrossing(&button, QEvent::Leave);
    QCOMPARE(over.count(), 2);
}

void TestTavoPushButton::picturePerState_data()
{
    QTest::addColumn<QString>("reachedBy");
    QTest::addColumn<QColor>("expected");

    QTest::newRow("normal") << "" << QColor(0, 200, 0);
    QTest::newRow("hover") << "enter" << QColor(0, 0, 200);
    QTest::newRow("checked") << "check" << QColor(200, 0, 0);
    QTest::newRow("disabled uses the normal picture") << "disable" << QColor(0, 200, 0);
}

void TestTavoPushButton::picturePerState()
{
    QFETCH(QString, reachedBy);
    QFETCH(QColor, expected);

    QTemporaryDir dir;
    TavoPushButton button;
    button.resize(40, 20);
    button.setPictures(writePicture(dir.path(), "n.png", QColor(0, 200, 0)),
                       writePicture(dir.path(), "h.png", QColor(0, 0, 200)),
                       writePicture(dir.path(), "p.png", QColor(200, 0, 0)));
    if (reachedBy == "enter")
        sendCrossing(&button, QEvent::Enter);
    else if (reachedBy == "check")
        button.setButtonChecked(true);
    else if (reachedBy == "disable")
        button.setButtonEnabled(false);

    QCOMPARE(centreColour(&button), expected);
}

void TestTavoPushButton::colourFillWithoutPicture()
{
    TavoPushButton swatch;
    swatch.resize(20, 22);
    for (int i = 0; i < 3; ++i)
        QTest::ignoreMessage(QtWarningMsg, "Unable to load picture ://skins/no-such-swatch.png.\n");
    swatch.setPictures("://skins/no-such-swatch.png", "://skins/no-such-swatch.png", "://skins/no-such-swatch.png");
    swatch.setFillColor(QColor(255, 255, 0), TavoPushButton::FillShape::Ellipse);
    QCOMPARE(centreColour(&swatch), QColor(255, 255, 0));
    // The ellipse leaves the corners to the background.
    QVERIFY(swatch.grab().toImage().pixelColor(0, 0) != QColor(255, 255, 0));
}

QTEST_MAIN(TestTavoPushButton)
#include "test_tavopushbutton.moc"
