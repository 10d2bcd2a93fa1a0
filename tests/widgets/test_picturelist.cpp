// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/tempconfig.h"
#include "widgets/messageboxes.h"
#include "widgets/picturelist.h"
#include "widgets/presswidgets.h"
#include "widgets/tavopushbutton.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

using korvo::PictureList;

namespace {

// Answers the next confirmation as the user would, with a click, and records its message.
void answerNextQuestion(bool accept, QString* message)
{
    QTimer::singleShot(0, [accept, message] {
        if (auto* box = qobject_cast<korvo::ExitMessageBox*>(QApplication::activeModalWidget())) {
            *message = box->findChild<QLabel*>("messageLabel")->text();
            auto* button = box->findChild<korvo::TavoPushButton*>(accept ? "btnOk" : "btnCancel");
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        }
    });
}

const QByteArray TwoStored("[ImageList]\n0=b.png\n1=a.png\nCount=2\n"); // shown a above b

} // namespace

// right click, row, offset from the item's (right, top) corner, accept, question asked, stored file,
// first background chosen
using Click = std::tuple<bool, int, QPoint, bool, QString, QByteArray, QString>;
using Fill = std::tuple<QByteArray, QString, QByteArray>; // stored file, warning, saved file
Q_DECLARE_METATYPE(Click)
Q_DECLARE_METATYPE(Fill)

// Pictures are named relative to the working folder, so the stored file reads as written here.
class TestPictureList : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempConfig> temp;
    QTemporaryDir pictures_;

    void showList(QWidget* window, PictureList* list)
    {
        QVERIFY(temp->writeConfig(TwoStored));
        window->resize(960, 588);
        list->fill();
        list->widget()->show();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(pictures_.path()));
        QImage image(160, 90, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save("a.png") && image.save("b.png") && image.save("c.png"));
        QVERIFY(TempConfig::writeFile("notes.png", "plain text, not a picture"));
    }

    void init() { temp = std::make_unique<TempConfig>(); }

    // The newest picture is stored last and shown first; a save writes the rows back from the top, so
    // the order flips with every fill and save.
    void fillThenSave_data()
    {
        QTest::addColumn<Fill>("row");
        QTest::newRow("negative count") << Fill{"[ImageList]\nCount=-3\n0=a.png\n",
                                                "ImageList/Count is -3 but 0 pictures are stored.\n",
                                                "[ImageList]\nCount=0\n"};
        QTest::newRow("huge count, keys missing") << Fill{"[ImageList]\nCount=100000\n0=a.png\n2=c.png\n",
                                                          "ImageList/Count is 100000 but 2 pictures are stored.\n",
                                                          "[ImageList]\n0=c.png\n1=a.png\nCount=2\n"};
        QTest::newRow("files gone or no picture")
            << Fill{"[ImageList]\nCount=3\n0=a.png\n1=gone.png\n2=notes.png\n",
                    "2 stored pictures no longer load and were left out.\n", "[ImageList]\n0=a.png\nCount=1\n"};
    }

    void fillThenSave()
    {
        QFETCH(Fill, row);
        const auto& [stored, warning, saved] = row;
        QVERIFY(temp->writeConfig(stored));
        QWidget window;
        PictureList list(&window, [] { return QString(); });
        QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));
        list.fill();
        QVERIFY(list.save());
        QCOMPARE(temp->readConfig(), saved);
    }

    // A right click anywhere on a row, or a left click on a user picture's delete mark (the 18 x 18
    // square in the item's top right corner), asks before deleting; any other left click chooses the
    // row's picture. After a deletion the row now current becomes the background.
    void clickDeletes_data()
    {
        QTest::addColumn<Click>("row");
        const QString ask = QString::fromUtf8("是否删除此图片？");
        const QByteArray onlyA("[ImageList]\n0=a.png\nCount=1\n"), onlyB("[ImageList]\n0=b.png\nCount=1\n");
        QTest::newRow("right click, accepted") << Click{true, 1, {-38, 29}, true, ask, onlyB, "b.png"};
        QTest::newRow("right click, built-in picture")
            << Click{true, 3, {-38, 29}, true, QString::fromUtf8("默认图片不能删除。"), TwoStored, {}};
        QTest::newRow("mark, declined") << Click{false, 1, {-10, 10}, false, ask, TwoStored, {}};
        QTest::newRow("mark, bottom right pixel") << Click{false, 2, {-3, 19}, true, ask, onlyA, "1.jpg"};
        QTest::newRow("left of the mark") << Click{false, 1, {-21, 10}, true, {}, TwoStored, "a.png"};
        QTest::newRow("mark place on a built-in picture") << Click{false, 3, {-10, 10}, true, {}, TwoStored, "1.jpg"};
    }

    void clickDeletes()
    {
        QFETCH(Click, row);
        const auto& [rightClick, index, fromTopRight, accept, question, stored, chosen] = row;
        QWidget window;
        PictureList list(&window, [] { return QString(); });
        showList(&window, &list);
        QSignalSpy chosenPaths(&list, &PictureList::backgroundChosen);
        QString asked;
        answerNextQuestion(accept, &asked);
        const QRect item = list.widget()->visualItemRect(list.widget()->item(index));
        QTest::mouseClick(list.widget()->viewport(), rightClick ? Qt::RightButton : Qt::LeftButton, {},
                          QPoint(item.right(), item.top()) + fromTopRight);
        QCoreApplication::processEvents();
        QCOMPARE(asked, question);
        QCOMPARE(QFileInfo(chosenPaths.value(0).value(0).toString()).fileName(), chosen);
        QCOMPARE(temp->readConfig(), stored);
    }

    // The list stands on the dark window: where it has no thumbnails, the window shows through. A
    // chosen file becomes the newest row and is saved at once, but the picture in use stays current.
    void addChosenFileOnTheDarkWindow()
    {
        QWidget window;
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, QColor(11, 15, 24));
        window.setPalette(palette);
        window.setAutoFillBackground(true);
        PictureList list(&window, [] { return QString("a.png"); });
        showList(&window, &list);
        QSignalSpy chosen(&list, &PictureList::backgroundChosen);
        list.addChosenFile("c.png");
        QCOMPARE(list.widget()->currentRow(), 2);
        QCOMPARE(temp->readConfig(), QByteArray("[ImageList]\n0=c.png\n1=a.png\n2=b.png\nCount=3\n"));
        QCOMPARE(chosen.count(), 0);
        // Three rows of thumbnails end well above the list's bottom at y 544.
        QCOMPARE(window.grab().toImage().pixel(600, 540), qRgb(11, 15, 24));
    }
};

QTEST_MAIN(TestPictureList)
#include "test_picturelist.moc"
