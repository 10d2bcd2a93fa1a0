// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/configstore.h"
#include "contrast.h"
#include "widgets/messageboxes.h"
#include "widgets/tavopushbutton.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using korvo::TavoPushButton;

// toggle, checked, enabled, press, states after the setters, enter, press, leave and release, checked after
using Visit = std::tuple<bool, bool, bool, bool, QList<int>, bool>;
using Answer = std::tuple<bool, QString, bool, int>; // exit box, button, dragged off first, result (-1: open)
using Part = std::tuple<bool, QString, qreal>;       // exit box, part, pixel ratio
Q_DECLARE_METATYPE(Visit)
Q_DECLARE_METATYPE(Answer)
Q_DECLARE_METATYPE(Part)

class TestDialogs : public QObject
{
    Q_OBJECT

    QTemporaryDir programDir_;

    // The exit box with its title, or the question box; no font file in this program folder, so the
    // question box falls back to the default face.
    static std::unique_ptr<QDialog> makeBox(bool exitBox, const QString& text)
    {
        if (exitBox) {
            auto box =
                std::make_unique<korvo::ExitMessageBox>(2, text, QPoint(), nullptr, true, Qt::FramelessWindowHint);
            box->setAnswers("Delete", "Cancel");
            return box;
        }
        QTest::ignoreMessage(QtDebugMsg, "load font failed!");
        return std::make_unique<korvo::TavoMessageBox>(text, QRect(), nullptr, Qt::FramelessWindowHint);
    }

private slots:
    void initTestCase() { korvo::setProgramDirOverride(programDir_.path()); }

    // The pointer enters, maybe presses, leaves (a press that opens a dialog takes the pointer away
    // before the release) and releases. States: 0 normal, 1 hover, 2 pressed, 3 disabled.
    void buttonPointerVisit_data()
    {
        QTest::addColumn<Visit>("row");
        QTest::newRow("plain, passing over") << Visit{false, false, true, false, {0, 1, 0}, false};
        QTest::newRow("plain, pressed") << Visit{false, false, true, true, {0, 1, 2, 0, 1}, true};
        QTest::newRow("toggle turning on") << Visit{true, false, true, true, {0, 0, 2, 2, 2}, true};
        QTest::newRow("toggle turning off") << Visit{true, true, true, true, {1, 1, 0, 0, 0}, false};
        QTest::newRow("disabled") << Visit{false, false, false, true, {3, 3, 3, 3, 3}, false};
    }

    void buttonPointerVisit()
    {
        QFETCH(Visit, row);
        const auto& [toggle, checked, enabled, press, expectedStates, checkedAfter] = row;
        TavoPushButton button;
        button.resize(60, 30);
        button.setToggleMode(toggle);
        button.setButtonChecked(checked);
        button.setButtonEnabled(enabled);
        QList<int> states{button.state()};
        QEvent enter(QEvent::Enter), leave(QEvent::Leave);
        QApplication::sendEvent(&button, &enter);
        states << button.state();
        if (press) {
            QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 15));
            states << button.state();
        }
        QApplication::sendEvent(&button, &leave);
        states << button.state();
        if (press) {
            QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 15));
            states << button.state();
        }
        QCOMPARE(states, expectedStates);
        QCOMPARE(button.buttonChecked(), checkedAfter);
    }

    void answersOnReleaseOnly_data()
    {
        QTest::addColumn<Answer>("row");
        for (bool exitBox : {true, false}) {
            const char* kind = exitBox ? "exit box" : "question box";
            QTest::addRow("%s: OK", kind) << Answer{exitBox, "btnOk", false, QDialog::Accepted};
            QTest::addRow("%s: Cancel", kind) << Answer{exitBox, "btnCancel", false, QDialog::Rejected};
            QTest::addRow("%s: OK released outside", kind) << Answer{exitBox, "btnOk", true, -1};
        }
    }

    void answersOnReleaseOnly()
    {
        QFETCH(Answer, row);
        const auto& [exitBox, button, releasedOutside, result] = row;
        const std::unique_ptr<QDialog> dialog = makeBox(exitBox, "Delete?");
        QSignalSpy finished(dialog.get(), &QDialog::finished);
        dialog->show();
        auto* target = dialog->findChild<TavoPushButton*>(button);
        QTest::mousePress(target, Qt::LeftButton, {}, target->rect().center());
        QCOMPARE(finished.count(), 0);
        const QPoint release = releasedOutside ? QPoint(target->width() + 30, 0) : target->rect().center();
        // Dragging off makes the button report a release before the real one.
        QMouseEvent move(QEvent::MouseMove, release, target->mapToGlobal(release), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(target, &move);
        QTest::mouseRelease(target, Qt::LeftButton, {}, release);
        QCOMPARE(finished.value(0).value(0, -1).toInt(), result);
        QCOMPARE(finished.count(), result < 0 ? 0 : 1);
    }

    // Every text of the two boxes reads at 4.5 : 1 or better on what it stands on, at 1x and 2x.
    void legible_data()
    {
        QTest::addColumn<Part>("row");
        for (qreal ratio : {1.0, 2.0}) {
            for (const char* part : {"btnOk", "btnCancel", "messageLabel"}) {
                QTest::addRow("exit box %s %gx", part, ratio) << Part{true, part, ratio};
                QTest::addRow("question box %s %gx", part, ratio) << Part{false, part, ratio};
            }
        }
    }

    void legible()
    {
        QFETCH(Part, row);
        const auto& [exitBox, part, ratio] = row;
        const std::unique_ptr<QDialog> dialog = makeBox(exitBox, QString::fromUtf8("是否删除此图片？"));
        QPixmap drawn(dialog->size() * ratio);
        drawn.setDevicePixelRatio(ratio);
        drawn.fill(Qt::transparent);
        dialog->render(&drawn);
        // The message label has no ground of its own; a button's caption is measured without its edge.
        const QWidget* widget = dialog->findChild<QWidget*>(part);
        const QRect own = part == QLatin1String("messageLabel")
                              ? widget->rect()
                              : widget->rect().adjusted(widget->width() / 5, widget->height() / 4, -widget->width() / 5,
                                                        -widget->height() / 4);
        const QRect area(widget->mapTo(dialog.get(), own.topLeft()) * ratio, own.size() * ratio);
        const double measured = inkContrast(drawn.toImage().copy(area));
        QVERIFY2(measured >= 4.5, qPrintable(QString::number(measured)));
    }
};

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
