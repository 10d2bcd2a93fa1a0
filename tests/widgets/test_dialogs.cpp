#include "config/configstore.h"
#include "widgets/messageboxes.h"
#include "widgets/tavopushbutton.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using korvo::ExitMessageBox;
using korvo::TavoMessageBox;
using korvo::TavoPushButton;

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void titleLine_data();
    void titleLine();
    void questionBoxPlacement();
    void answersOnClickOnly_data();
    void answersOnClickOnly();

private:
    QTemporaryDir programDir_;
};

void TestDialogs::initTestCase()
{
    // No font file in this program folder: the question box falls back to the default face.
    korvo::setProgramDirOverride(programDir_.path());
}

void TestDialogs::titleLine_data()
{
    QTest::addColumn<bool>("title");
    QTest::addColumn<QString>("titleText");

    QTest::newRow("with title") << true << QString::fromUtf8("<img src = '://skins/waring_icon.png'/>温馨提示");
    QTest::newRow("without title") << false << QString();
}

void TestDialogs::titleLine()
{
    QFETCH(bool, title);
    QFETCH(QString, titleText);

    ExitMessageBox box(2, "Exit now?", QPoint(35, 44), nullptr, title, Qt::FramelessWindowHint);
    QCOMPARE(box.pos(), QPoint(35, 44));
    QCOMPARE(box.findChild<QLabel*>("titleLabel")->text(), titleText);
    QCOMPARE(box.findChild<QLabel*>("messageLabel")->text(), QString("Exit now?"));
}

void TestDialogs::questionBoxPlacement()
{
    QWidget window;
    window.setFixedSize(960, 588);
    window.move(100, 50);
    QTest::ignoreMessage(QtDebugMsg, "load font failed!");
    TavoMessageBox box("Eject?", QRect(508, 285, 452, 260), &window, Qt::FramelessWindowHint);

    // Centred on x 100 + 508 + 226 = 834 and on the window's middle, y 50 + 294 = 344.
    QCOMPARE(box.geometry(), QRect(714, 284, 240, 120));
    QCOMPARE(box.findChild<QLabel*>("messageLabel")->font().pixelSize(), 20);
}

void TestDialogs::answersOnClickOnly_data()
{
    QTest::addColumn<bool>("exitBox");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("dragOff");
    QTest::addColumn<int>("result"); // -1: still open

    for (bool exitBox : {true, false}) {
        const char* kind = exitBox ? "exit box" : "question box";
        QTest::addRow("%s: OK", kind) << exitBox << "btnOk" << false << int(QDialog::Accepted);
        QTest::addRow("%s: Cancel", kind) << exitBox << "btnCancel" << false << int(QDialog::Rejected);
        QTest::addRow("%s: OK pressed, dragged off", kind) << exitBox << "btnOk" << true << -1;
        QTest::addRow("%s: Cancel pressed, dragged off", kind) << exitBox << "btnCancel" << true << -1;
    }
}

void TestDialogs::answersOnClickOnly()
{
    QFETCH(bool, exitBox);
    QFETCH(QString, button);
    QFETCH(bool, dragOff);
    QFETCH(int, result);

    std::unique_ptr<QDialog> dialog;
    if (exitBox)
        dialog = std::make_unique<ExitMessageBox>(2, "Delete?", QPoint(0, 0), nullptr, true, Qt::FramelessWindowHint);
    else
        dialog = std::make_unique<TavoMessageBox>("Eject?", QRect(), nullptr, Qt::FramelessWindowHint);
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    dialog->show();
    auto* target = dialog->findChild<TavoPushButton*>(button);
    const QPoint inside = target->rect().center();
    const QPoint outside(target->width() + 30, target->height() + 30);

    QTest::mousePress(target, Qt::LeftButton, {}, inside);
    QCOMPARE(finished.count(), 0);
    if (dragOff) {
        QMouseEvent move(QEvent::MouseMove, outside, target->mapToGlobal(outside), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    }
    QTest::mouseRelease(target, Qt::LeftButton, {}, dragOff ? outside : inside);

    QCOMPARE(finished.count(), result < 0 ? 0 : 1);
    if (result >= 0)
        QCOMPARE(finished.at(0).at(0).toInt(), result);
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
