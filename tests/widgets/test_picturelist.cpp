#include "config/configstore.h"
#include "widgets/messageboxes.h"
#include "widgets/picturelist.h"
#include "widgets/presswidgets.h"
#include "widgets/tavopushbutton.h"

#include <QLabel>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using korvo::PictureList;

namespace {

using Entries = QMap<QString, QVariant>;

void writeImageList(const Entries& entries)
{
    QSettings settings(korvo::configFilePath(), QSettings::IniFormat);
    settings.remove("ImageList");
    for (auto it = entries.begin(); it != entries.end(); ++it)
        settings.setValue("ImageList/" + it.key(), it.value());
}

Entries readImageList()
{
    QSettings settings(korvo::configFilePath(), QSettings::IniFormat);
    settings.beginGroup("ImageList");
    Entries entries;
    for (const QString& key : settings.childKeys())
        entries.insert(key, settings.value(key).toString());
    return entries;
}

QStringList userRows(const PictureList& list)
{
    QStringList rows;
    for (int row = 1; row <= list.userCount(); ++row)
        rows << QFileInfo(list.pathAt(row)).fileName();
    return rows;
}

// Answers the next modal question, as the user would, and records its message. Any other
// dialog (the file chooser behind the add entry) is cancelled.
void answerNextQuestion(bool accept, QString* message)
{
    QTimer::singleShot(0, [accept, message] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* box = qobject_cast<korvo::ExitMessageBox*>(modal);
        if (!box) {
            if (auto* other = qobject_cast<QDialog*>(modal))
                other->reject();
            return;
        }
        *message = box->findChild<QLabel*>("messageLabel")->text();
        auto* button = box->findChild<korvo::TavoPushButton*>(accept ? "btnOk" : "btnCancel");
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    });
}

void showList(QWidget* window, PictureList* list)
{
    window->resize(960, 588);
    list->fill();
    list->widget()->show();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

} // namespace

class TestPictureList : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void fillThenSave_data();
    void fillThenSave();
    void rightClickDeletes_data();
    void rightClickDeletes();
    void deleteMarkHitArea_data();
    void deleteMarkHitArea();
    void chosenFileThenPictureInUse_data();
    void chosenFileThenPictureInUse();

private:
    QString picture(const QString& name) const { return pictures_.path() + "/" + name; }

    QTemporaryDir home_;
    QTemporaryDir pictures_;
};

void TestPictureList::initTestCase()
{
    QVERIFY(home_.isValid() && pictures_.isValid());
    qputenv("XDG_CONFIG_HOME", home_.path().toUtf8() + "/config");
    qputenv("XDG_DATA_HOME", home_.path().toUtf8() + "/data");
    for (const char* name : {"a.png", "b.png", "c.png"}) {
        QImage image(160, 90, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(picture(name)));
    }
    QFile notAPicture(picture("notes.png"));
    QVERIFY(notAPicture.open(QIODevice::WriteOnly));
    notAPicture.write("plain text, not a picture");
}

void TestPictureList::fillThenSave_data()
{
    QTest::addColumn<Entries>("stored");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<Entries>("saved");

    const QString a = picture("a.png"), b = picture("b.png"), c = picture("c.png");
    QTest::newRow("nothing stored") << Entries() << QStringList() << QString() << Entries{{"Count", "0"}};
    QTest::newRow("three, shown in reverse")
        << Entries{{"Count", 3}, {"0", a}, {"1", b}, {"2", c}} << QStringList{"c.png", "b.png", "a.png"} << QString()
        << Entries{{"Count", "3"}, {"0", c}, {"1", b}, {"2", a}};
    QTest::newRow("negative count") << Entries{{"Count", -3}, {"0", a}} << QStringList()
                                    << "ImageList/Count is -3 but 0 pictures are stored.\n"
                                    << Entries{{"Count", "0"}};
    QTest::newRow("huge count, keys missing")
        << Entries{{"Count", 100000}, {"0", a}, {"2", c}} << QStringList{"c.png", "a.png"}
        << "ImageList/Count is 100000 but 2 pictures are stored.\n"
        << Entries{{"Count", "2"}, {"0", c}, {"1", a}};
    QTest::newRow("file gone since it was stored")
        << Entries{{"Count", 3}, {"0", a}, {"1", picture("gone.png")}, {"2", b}} << QStringList{"b.png", "a.png"}
        << "1 stored pictures no longer load and were left out.\n"
        << Entries{{"Count", "2"}, {"0", b}, {"1", a}};
    QTest::newRow("file that is no picture")
        << Entries{{"Count", 2}, {"0", picture("notes.png")}, {"1", c}} << QStringList{"c.png"}
        << "1 stored pictures no longer load and were left out.\n"
        << Entries{{"Count", "1"}, {"0", c}};
}

void TestPictureList::fillThenSave()
{
    QFETCH(Entries, stored);
    QFETCH(QStringList, shown);
    QFETCH(QString, warning);
    QFETCH(Entries, saved);

    writeImageList(stored);
    QWidget window;
    PictureList list(&window, [] { return QString(); });
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
    list.fill();

    QCOMPARE(list.widget()->count(), 12 + shown.size());
    QCOMPARE(userRows(list), shown);
    QCOMPARE(list.pathAt(0), QString("://skins/add.png"));
    QCOMPARE(list.pathAt(1 + shown.size()), QString("://background/1.jpg"));
    QCOMPARE(list.pathAt(11 + shown.size()), QString("://background/11.jpg"));
    QVERIFY(list.save());
    QCOMPARE(readImageList(), saved);
}

void TestPictureList::rightClickDeletes_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<QString>("chosen");

    const QString ask = QString::fromUtf8("是否删除此图片？");
    QTest::newRow("user picture, accepted") << 1 << true << ask << QStringList{"a.png"} << "a.png";
    QTest::newRow("last user picture, accepted") << 2 << true << ask << QStringList{"b.png"} << "1.jpg";
    QTest::newRow("user picture, declined") << 1 << false << ask << QStringList{"b.png", "a.png"} << QString();
    QTest::newRow("built-in picture") << 3 << true << QString::fromUtf8("默认图片不能删除。")
                                      << QStringList{"b.png", "a.png"} << QString();
    QTest::newRow("add entry") << 0 << true << QString() << QStringList{"b.png", "a.png"} << QString();
}

void TestPictureList::rightClickDeletes()
{
    QFETCH(int, row);
    QFETCH(bool, accept);
    QFETCH(QString, question);
    QFETCH(QStringList, remaining);
    QFETCH(QString, chosen);

    writeImageList({{"Count", 2}, {"0", picture("a.png")}, {"1", picture("b.png")}});
    QWidget window;
    PictureList list(&window, [] { return QString(); });
    showList(&window, &list);
    QSignalSpy chosenSpy(&list, &PictureList::backgroundChosen);

    QString asked;
    answerNextQuestion(accept, &asked);
    const QRect item = list.widget()->visualItemRect(list.widget()->item(row));
    QTest::mouseClick(list.widget()->viewport(), Qt::RightButton, {}, item.center());
    QCoreApplication::processEvents();

    QCOMPARE(asked, question);
    QCOMPARE(userRows(list), remaining);
    QCOMPARE(chosenSpy.count(), chosen.isEmpty() ? 0 : 1);
    if (!chosen.isEmpty())
        QCOMPARE(QFileInfo(chosenSpy.at(0).at(0).toString()).fileName(), chosen);
    QCOMPARE(readImageList().value("Count").toInt(), remaining.size());
}

void TestPictureList::deleteMarkHitArea_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QPoint>("fromTopRight"); // offset from the item's (right, top) corner
    QTest::addColumn<bool>("hit");

    QTest::newRow("mark, top left pixel") << 1 << QPoint(-20, 2) << true;
    QTest::newRow("mark, bottom right pixel") << 1 << QPoint(-3, 19) << true;
    QTest::newRow("left of the mark") << 1 << QPoint(-21, 10) << false;
    QTest::newRow("above the mark") << 1 << QPoint(-10, 1) << false;
    QTest::newRow("right of the mark") << 1 << QPoint(-2, 10) << false;
    QTest::newRow("below the mark") << 1 << QPoint(-10, 20) << false;
    QTest::newRow("middle of the thumbnail") << 1 << QPoint(-38, 29) << false;
    QTest::newRow("mark place on the add entry") << 0 << QPoint(-10, 10) << false;
    QTest::newRow("mark place on a built-in picture") << 2 << QPoint(-10, 10) << false;
}

void TestPictureList::deleteMarkHitArea()
{
    QFETCH(int, row);
    QFETCH(QPoint, fromTopRight);
    QFETCH(bool, hit);

    writeImageList({{"Count", 1}, {"0", picture("a.png")}});
    QWidget window;
    PictureList list(&window, [] { return QString(); });
    showList(&window, &list);

    QSignalSpy deleteClicks(list.widget()->itemDelegate(), SIGNAL(handleDeleteClick(int)));
    const QRect item = list.widget()->visualItemRect(list.widget()->item(row));
    QString asked;
    answerNextQuestion(false, &asked);
    QTest::mouseClick(list.widget()->viewport(), Qt::LeftButton, {}, QPoint(item.right(), item.top()) + fromTopRight);
    QCoreApplication::processEvents();

    QCOMPARE(deleteClicks.count(), hit ? 1 : 0);
    if (hit)
        QCOMPARE(deleteClicks.at(0).at(0).toInt(), row);
    QCOMPARE(asked.isEmpty(), !hit);
    QCOMPARE(list.userCount(), 1);
}

void TestPictureList::chosenFileThenPictureInUse_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("inUse");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("currentRow");

    QTest::newRow("picture added, built-in in use") << "b.png"
                                                    << "://background/2.jpg" << QStringList{"b.png", "a.png"} << 4;
    QTest::newRow("picture added, user picture in use")
        << "c.png" << picture("a.png") << QStringList{"c.png", "a.png"} << 2;
    QTest::newRow("no picture, picture in use gone")
        << "notes.png" << picture("gone.png") << QStringList{"a.png"} << -1;
}

void TestPictureList::chosenFileThenPictureInUse()
{
    QFETCH(QString, file);
    QFETCH(QString, inUse);
    QFETCH(QStringList, expected);
    QFETCH(int, currentRow);

    writeImageList({{"Count", 1}, {"0", picture("a.png")}});
    QWidget window;
    PictureList list(&window, [inUse] { return inUse; });
    list.fill();
    QSignalSpy chosen(&list, &PictureList::backgroundChosen);
    const QString path = picture(file);
    if (file == "notes.png")
        QTest::ignoreMessage(QtWarningMsg, qPrintable("Unable to load picture " + path + ".\n"));

    list.addChosenFile(path);

    QCOMPARE(userRows(list), expected);
    QCOMPARE(list.widget()->currentRow(), currentRow);
    QCOMPARE(readImageList().value("Count").toInt(), expected.size());
    // Adding a picture does not make it the background.
    QCOMPARE(chosen.count(), 0);
}

QTEST_MAIN(TestPictureList)
#include "test_picturelist.moc"
