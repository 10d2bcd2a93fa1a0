// SPDX-License-Identifier: GPL-3.0-or-later
#include "contrast.h"
#include "widgets/messageboxes.h"
#include "widgets/tavopushbutton.h"

#include <QSignalSpy>
#include <QtTest>

using korvo::TavoPushButton;

// toggle, checked, states after the setters, enter, press, leave and release, checked after
using Visit = std::tuple<bool, bool, QList<int>, bool>;
Q_DECLARE_METATYPE(Visit)

class TestDialogs : public QObject
{
    Q_OBJECT

    // The box the window and the picture list ask with.
    korvo::ExitMessageBox box{
        2, QString::fromUtf8("是否删除此图片？"), QPoint(), nullptr, true, Qt::FramelessWindowHint};

private slots:
    void initTestCase() { box.setAnswers("Delete", "Cancel"); }

    // The pointer enters, presses, leaves (a press that opens a dialog takes the pointer away before
    // the release) and releases. States: 0 normal, 1 hover, 2 pressed.
    void buttonPointerVisit_data()
    {
        QTest::addColumn<Visit>("row");
        QTest::newRow("plain") << Visit{false, false, {0, 1, 2, 0, 1}, true};
        QTest::newRow("toggle turning on") << Visit{true, false, {0, 0, 2, 2, 2}, true};
        QTest::newRow("toggle turning off") << Visit{true, true, {2, 2, 0, 0, 0}, false};
    }

    void buttonPointerVisit()
    {
        QFETCH(Visit, row);
        const auto& [toggle, checked, expectedStates, checkedAfter] = row;
        TavoPushButton button;
        button.resize(60, 30);
        button.setToggleMode(toggle);
        button.setButtonChecked(checked);
        QList<int> states{button.state()};
        QEvent enter(QEvent::Enter), leave(QEvent::Leave);
        QApplication::sendEvent(&button, &enter);
        states << button.state();
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 15));
        states << button.state();
        QApplication::sendEvent(&button, &leave);
        states << button.state();
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 15));
        states << button.state();
        QCOMPARE(states, expectedStates);
        QCOMPARE(button.buttonChecked(), checkedAfter);
    }

    // A press answers nothing, and neither does a release after the pointer was dragged off the
    // button, which the button reports as a release of its own before the real one.
    void noAnswerReleasedOutside()
    {
        QSignalSpy finished(&box, &QDialog::finished);
        box.show();
        auto* ok = box.findChild<TavoPushButton*>("btnOk");
        QTest::mousePress(ok, Qt::LeftButton, {}, ok->rect().center());
        const QPoint outside(ok->width() + 30, 0);
        QMouseEvent move(QEvent::MouseMove, outside, ok->mapToGlobal(outside), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(ok, &move);
        QTest::mouseRelease(ok, Qt::LeftButton, {}, outside);
        QCOMPARE(finished.count(), 0);
        box.hide();
    }

    // Every text of the box reads at 4.5 : 1 or better on what it stands on.
    void legible_data()
    {
        QTest::addColumn<QString>("part");
        for (const char* part : {"btnOk", "btnCancel", "messageLabel"})
            QTest::newRow(part) << QString(part);
    }

    void legible()
    {
        QFETCH(QString, part);
        QPixmap drawn(box.size());
        drawn.fill(Qt::transparent);
        box.render(&drawn);
        // The message label has no ground of its own; a button's caption is measured without its edge.
        const QWidget* widget = box.findChild<QWidget*>(part);
        const QRect own = part == "messageLabel" ? widget->rect()
                                                 : widget->rect().adjusted(widget->width() / 5, widget->height() / 4,
                                                                           -widget->width() / 5, -widget->height() / 4);
        const double measured =
            inkContrast(drawn.toImage().copy(QRect(widget->mapTo(&box, own.topLeft()), own.size())));
        QVERIFY2(measured >= 4.5, qPrintable(QString::number(measured)));
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
