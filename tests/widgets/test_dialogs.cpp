#include "config/configstore.h"
#include "contrast.h"
#include "widgets/messageboxes.h"
#include "widgets/tavoprocessdialog.h"
#include "widgets/tavopushbutton.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using korvo::TavoPushButton;

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    // No font file in this program folder: the question box falls back to the default face.
    void initTestCase() { korvo::setProgramDirOverride(programDir_.path()); }
    void answersOnReleaseOnly_data();
    void answersOnReleaseOnly();
    void legibleAndTitled_data();
    void legibleAndTitled();
    void waitDialogClosesWhenTold();

private:
    QTemporaryDir programDir_;
};

void TestDialogs::answersOnReleaseOnly_data()
{
    QTest::addColumn<bool>("exitBox");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("releasedOutside"); // dragged off first
    QTest::addColumn<int>("result");           // -1: still open

    for (bool exitBox : {true, false}) {
        const char* kind = exitBox ? "exit box" : "question box";
        QTest::addRow("%s: OK", kind) << exitBox << "btnOk" << false << int(QDialog::Accepted);
        QTest::addRow("%s: Cancel", kind) << exitBox << "btnCancel" << false << int(QDialog::Rejected);
        QTest::addRow("%s: OK released outside", kind) << exitBox << "btnOk" << true << -1;
    }
}

void TestDialogs::answersOnReleaseOnly()
{
    QFETCH(bool, exitBox);
    QFETCH(QString, button);
    QFETCH(bool, releasedOutside);
    QFETCH(int, result);

    std::unique_ptr<QDialog> dialog;
    if (exitBox) {
        dialog =
            std::make_unique<korvo::ExitMessageBox>(2, "Delete?", QPoint(), nullptr, true, Qt::FramelessWindowHint);
    } else {
        QTest::ignoreMessage(QtDebugMsg, "load font failed!");
        dialog = std::make_unique<korvo::TavoMessageBox>("Eject?", QRect(), nullptr, Qt::FramelessWindowHint);
    }
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
    QCOMPARE(finished.count(), result < 0 ? 0 : 1);
    QCOMPARE(finished.value(0).value(0, -1).toInt(), result);
}

// Every text of the two boxes reads at 4.5 : 1 or better on what it stands on, at 1x and 2x.
void TestDialogs::legibleAndTitled_data()
{
    QTest::addColumn<bool>("exitBox");
    QTest::addColumn<QString>("part");
    QTest::addColumn<qreal>("ratio");
    for (qreal ratio : {1.0, 2.0}) {
        for (const char* part : {"btnOk", "btnCancel", "messageLabel"}) {
            QTest::addRow("exit box %s %gx", part, ratio) << true << part << ratio;
            QTest::addRow("question box %s %gx", part, ratio) << false << part << ratio;
        }
    }
}

void TestDialogs::legibleAndTitled()
{
    QFETCH(bool, exitBox);
    QFETCH(QString, part);
    QFETCH(qreal, ratio);
    std::unique_ptr<QDialog> dialog;
    if (exitBox) {
        dialog = std::make_unique<korvo::ExitMessageBox>(2, QString::fromUtf8("是否删除此图片？"), QPoint(), nullptr,
                                                         true, Qt::FramelessWindowHint);
        QCOMPARE(dialog->findChild<QLabel*>("titleLabel")->text().contains(QString::fromUtf8("温馨提示")), true);
    } else {
        QTest::ignoreMessage(QtDebugMsg, "load font failed!");
        dialog = std::make_unique<korvo::TavoMessageBox>(QString::fromUtf8("是否弹出？"), QRect(), nullptr,
                                                         Qt::FramelessWindowHint);
    }
    QPixmap drawn(dialog->size() * ratio);
    drawn.setDevicePixelRatio(ratio);
    drawn.fill(Qt::transparent);
    dialog->render(&drawn);
    // The part as drawn over the box: the message label has no ground of its own.
    const QWidget* widget = dialog->findChild<QWidget*>(part);
    // A button's caption, without the button's own edge.
    const QRect own = part == QLatin1String("messageLabel")
                          ? widget->rect()
                          : widget->rect().adjusted(widget->width() / 5, widget->height() / 4, -widget->width() / 5,
                                                    -widget->height() / 4);
    const QRect area(widget->mapTo(dialog.get(), own.topLeft()) * ratio, own.size() * ratio);
    const double measured = inkContrast(drawn.toImage().copy(area));
    QVERIFY2(measured >= 4.5, qPrintable(QString::number(measured)));
}

void TestDialogs::waitDialogClosesWhenTold()
{
    korvo::setProgramDirOverride(qEnvironmentVariable("KORVO_PROGRAM_DIR"));
    korvo::TavoProcessDialog dialog;
    QCOMPARE(dialog.size(), QSize(128, 128));
    dialog.open();
    QVERIFY(dialog.isVisible());
    QTimer::singleShot(0, &dialog, &korvo::TavoProcessDialog::slotProcessDlg);
    QTRY_VERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    korvo::setProgramDirOverride(programDir_.path());
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
