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

namespace {

std::unique_ptr<QDialog> makeDialog(const QString& kind)
{
    if (kind == "exit")
        return std::make_unique<ExitMessageBox>(2, "Delete?", QPoint(0, 0), nullptr, true, Qt::FramelessWindowHint);
    return std::make_unique<TavoMessageBox>("Eject?", QRect(0, 0, 240, 120), nullptr, Qt::FramelessWindowHint);
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void exitBoxLayout_data();
    void exitBoxLayout();
    void questionBoxLayout();
    void answersOnReleaseOnly_data();
    void answersOnReleaseOnly();
    void questionFont();

private:
    QTemporaryDir programDir_;
};

void TestDialogs::initTestCase()
{
    QVERIFY(programDir_.isValid());
    korvo::setProgramDirOverride(programDir_.path());
}

void TestDialogs::exitBoxLayout_data()
{
    QTest::addColumn<bool>("title");
    QTest::addColumn<QRect>("titleGeometry");
    QTest::addColumn<QString>("titleText");

    QTest::newRow("with title") << true << QRect(404, 232, 160, 24)
                                << QString::fromUtf8("<img src = '://skins/waring_icon.png'/>温馨提示");
    QTest::newRow("without title") << false << QRect(0, 0, 100, 30) << QString();
}

void TestDialogs::exitBoxLayout()
{
    QFETCH(bool, title);
    QFETCH(QRect, titleGeometry);
    QFETCH(QString, titleText);

    ExitMessageBox box(7, "Exit now?", QPoint(35, 44), nullptr, title, Qt::FramelessWindowHint);
    QCOMPARE(box.size(), QSize(960, 588));
    QCOMPARE(box.pos(), QPoint(35, 44));
    QCOMPARE(box.callerValue(), 7);

    auto* titleLabel = box.findChild<QLabel*>("titleLabel");
    QVERIFY(titleLabel);
    QCOMPARE(titleLabel->geometry(), titleGeometry);
    QCOMPARE(titleLabel->text(), titleText);

    auto* message = box.findChild<QLabel*>("messageLabel");
    QVERIFY(message);
    QCOMPARE(message->geometry(), QRect(320, 258, 320, 60));
    QCOMPARE(message->text(), QString("Exit now?"));
    QVERIFY(message->wordWrap());
    QCOMPARE(box.findChild<TavoPushButton*>("btnOk")->geometry(), QRect(400, 324, 70, 32));
    QCOMPARE(box.findChild<TavoPushButton*>("btnOk")->text(), QString::fromUtf8("确定"));
    QCOMPARE(box.findChild<TavoPushButton*>("btnCancel")->geometry(), QRect(490, 324, 70, 32));
    QCOMPARE(box.findChild<TavoPushButton*>("btnCancel")->text(), QString::fromUtf8("取消"));
}

void TestDialogs::questionBoxLayout()
{
    QWidget window;
    window.setFixedSize(960, 588);
    window.move(100, 50);
    TavoMessageBox box("Eject?", QRect(508, 285, 452, 260), &window, Qt::FramelessWindowHint);

    // Centre x: 100 + 508 + 226 = 834; centre y: 50 + 294 = 344.
    QCOMPARE(box.geometry(), QRect(714, 284, 240, 120));
    QCOMPARE(box.findChild<QLabel*>("messageLabel")->geometry(), QRect(14, 22, 212, 28));
    QCOMPARE(box.findChild<TavoPushButton*>("btnOk")->geometry(), QRect(39, 68, 70, 26));
    QCOMPARE(box.findChild<TavoPushButton*>("btnCancel")->geometry(), QRect(130, 68, 70, 26));
}

void TestDialogs::answersOnReleaseOnly_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("dragOff");
    QTest::addColumn<int>("result"); // -1: still open

    for (const char* kind : {"exit", "question"}) {
        QTest::addRow("%s: OK", kind) << kind << "btnOk" << false << int(QDialog::Accepted);
        QTest::addRow("%s: Cancel", kind) << kind << "btnCancel" << false << int(QDialog::Rejected);
        QTest::addRow("%s: OK pressed, dragged off", kind) << kind << "btnOk" << true << -1;
        QTest::addRow("%s: Cancel pressed, dragged off", kind) << kind << "btnCancel" << true << -1;
    }
}

void TestDialogs::answersOnReleaseOnly()
{
    QFETCH(QString, kind);
    QFETCH(QString, button);
    QFETCH(bool, dragOff);
    QFETCH(int, result);

    if (kind == "question")
        QTest::ignoreMessage(QtDebugMsg, "load font failed!");
    std::unique_ptr<QDialog> dialog = makeDialog(kind);
    QSignalSpy finished(dialog.get(), &QDialog::finished);
    dialog->show();
    auto* target = dialog->findChild<TavoPushButton*>(button);
    QVERIFY(target);
    const QPoint inside = target->rect().center();
    const QPoint outside(target->width() + 30, target->height() + 30);

    QTest::mousePress(target, Qt::LeftButton, {}, inside);
    QCOMPARE(finished.count(), 0);
    if (dragOff) {
        QMouseEvent move(QEvent::MouseMove, outside, target->mapToGlobal(outside), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QTest::mouseRelease(target, Qt::LeftButton, {}, outside);
    } else {
        QTest::mouseRelease(target, Qt::LeftButton, {}, inside);
    }

    if (result < 0) {
        QCOMPARE(finished.count(), 0);
        QVERIFY(dialog->isVisible());
    } else {
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), result);
    }
}

void TestDialogs::questionFont()
{
    const QString fontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    if (!QFile::exists(fontFile))
        QSKIP("needs the DejaVu Sans Mono font file");
    QTemporaryDir withFont;
    QVERIFY(QDir(withFont.path()).mkpath("Fonts"));
    QVERIFY(QFile::copy(fontFile, withFont.path() + "/Fonts/SourceHanSansSC-Normal-2.otf"));

    QTest::ignoreMessage(QtDebugMsg, "load font failed!");
    TavoMessageBox plain("Eject?", QRect(), nullptr, Qt::FramelessWindowHint);
    const QFont plainFont = plain.findChild<QLabel*>("messageLabel")->font();
    QVERIFY(plainFont.family() != "DejaVu Sans Mono");
    QCOMPARE(plainFont.pixelSize(), 20);

    korvo::setProgramDirOverride(withFont.path());
    TavoMessageBox loaded("Eject?", QRect(), nullptr, Qt::FramelessWindowHint);
    korvo::setProgramDirOverride(programDir_.path());
    const QFont loadedFont = loaded.findChild<QLabel*>("messageLabel")->font();
    QCOMPARE(loadedFont.family(), QString("DejaVu Sans Mono"));
    QCOMPARE(loadedFont.pixelSize(), 20);
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
