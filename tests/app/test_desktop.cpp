// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a desktop user meets it: the command line, the keyboard, closing, the tray that
// comes late, starting at login, the picture chooser, the wording of the dialogs, legibility.

#include "app/autostart.h"
#include "app/logging.h"
#include "app/mainwindow.h"
#include "compose/screensession.h"
#include "config/configstore.h"
#include "platform/sibling.h"
#include "platform/singleinstance.h"
#include "widgets/messageboxes.h"
#include "widgets/picturelist.h"
#include "widgets/presswidgets.h"
#include "widgets/tavopushbutton.h"

#include "contrast.h"
#include "windowfixture.h"

#include <QtTest>
#include <QtWidgets>

#include <csignal>

using namespace korvo;

class TestDesktop : public QObject, WindowFixture
{
    Q_OBJECT

public:
    TestDesktop() : WindowFixture("DesktopTest") {}

private slots:
    void init() { QVERIFY(freshHome()); }
    void cleanup() { program.reset(); }

    // From a shell or a session: the options are answered without a display and without touching
    // the screen; logout, systemctl stop or Ctrl-C end it cleanly; a second copy asks the first to
    // show and sends nothing.
    void programRun_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("signal"); // sent once it runs
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("help") << "--help" << 0 << 0 << "  --virtual-screen  ";
        QTest::newRow("version") << "--version" << 0 << 0 << "korvo-tft " KORVO_VERSION "\n";
        QTest::newRow("version after a Qt option") << "-platform=xcb -v" << 0 << 0 << "korvo-tft " KORVO_VERSION "\n";
        QTest::newRow("unknown option") << "--virtual-scren" << 0 << 1 << "Unknown option 'virtual-scren'.";
        QTest::newRow("SIGTERM") << "" << SIGTERM << 0 << "";
        QTest::newRow("SIGINT") << "" << SIGINT << 0 << "";
        QTest::newRow("SIGHUP") << "" << SIGHUP << 0 << "";
        QTest::newRow("second copy") << "" << 0 << 1 << "";
    }
    void programRun()
    {
        QFETCH(QString, option);
        QFETCH(int, signal);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        const bool secondCopy = option.isEmpty() && !signal;
        platform::SingleInstance first;
        QVERIFY(!secondCopy || first.acquire());
        QSignalSpy shown(&first, &platform::SingleInstance::showRequested);
        const QString writes = home->filePath("writes.log");
        QProcessEnvironment environment = programEnvironment(writes);
        // An unknown option is found once the program has its display; the others need none.
        if (!option.isEmpty() && exitCode == 0) {
            for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                environment.remove(name);
        }
        QVERIFY(returningUser());
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/korvo-tft", option.split(' ', Qt::SkipEmptyParts));
        if (signal) {
            QTRY_VERIFY_WITH_TIMEOUT(platform::siblingRunning(), 20000);
            QCOMPARE(::kill(pid_t(program.processId()), signal), 0);
        }
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), exitCode);
        const QString printed = QString::fromUtf8(option.isEmpty() || exitCode == 0 ? program.readAllStandardOutput()
                                                                                    : program.readAllStandardError());
        QVERIFY2(option.endsWith("-v") || option == "--version" ? printed == output : printed.contains(output),
                 qPrintable(printed));
        QVERIFY(!platform::siblingRunning());
        QVERIFY(!secondCopy || shown.count() == 1 || shown.wait(2000));
        QVERIFY(signal || QFileInfo(writes).size() == 0);
    }

    // The custom page. Tab from the first page button; while editing, Enter on the colour indicator
    // opens the colours, which come next, and the indicator's focus mark stands out from the bar
    // around it at 3 : 1. The element boxes are legible whether ticked or not, and a ticked one
    // looks different. The offscreen screen (800 x 600) is smaller than the window: the close
    // button stays on it.
    void customPage_data()
    {
        QTest::addColumn<bool>("editing");
        QTest::addColumn<QStringList>("visited");
        const QStringList page{"btnImage", "check1", "check4", "check7",  "check2",     "check5",
                               "check10",  "check3", "check6", "check11", "pictureList"};
        QTest::newRow("edit bar closed") << false << page + QStringList{"btnRemote",    "btnEdit", "btnApply",
                                                                        "startAtLogin", "btnMini", "btnExit"};
        QTest::newRow("editing") << true
                                 << page + QStringList{"btnRemote", "colorIndicator", "swatch0", "swatch1",
                                                       "swatch2",   "swatch3",        "swatch4", "swatch5",
                                                       "sizeList",  "btnClip",        "btnBack", "btnEdit_cancel",
                                                       "btnApply",  "startAtLogin",   "btnMini", "btnExit"};
    }
    void customPage()
    {
        QFETCH(bool, editing);
        QFETCH(QStringList, visited);
        QVERIFY(start());
        click("btnImage");
        if (editing)
            click("btnEdit");
        window->move(300, 200);
        window->showWindow();
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        child("btnTheme")->setFocus(Qt::TabFocusReason);
        QStringList order;
        QWidget* indicator = child("colorIndicator");
        const QRect around = QRect(indicator->mapTo(window, QPoint()), indicator->size()).adjusted(-2, -2, 2, 2);
        const QImage plain = window->grab(around).toImage();
        QImage marked;
        while (order.size() < visited.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
            if (QApplication::focusWidget() == indicator) {
                marked = window->grab(around).toImage();
                QTest::keyClick(indicator, Qt::Key_Return);
            }
        }
        QCOMPARE(order, visited);
        QVERIFY(!child("btnRemote")->toolTip().isEmpty() && !child("btnMini")->accessibleName().isEmpty());
        const QRect close(child("btnExit")->mapToGlobal(QPoint(0, 0)), child("btnExit")->size());
        QVERIFY2(window->screen()->availableGeometry().contains(close),
                 qPrintable(QStringLiteral("%1,%2").arg(close.right()).arg(close.top())));
        if (!editing) {
            QImage labels[2];
            for (const bool ticked : {false, true}) {
                auto* box = child<QCheckBox>("check3");
                box->setChecked(ticked);
                // The text only, right of the indicator, as it stands on the window.
                const QRect text(box->geometry().left() + 24, box->geometry().top(), 60, box->height());
                labels[ticked] = window->grab(text).toImage();
                QVERIFY2(inkContrast(labels[ticked]) >= 4.5, qPrintable(QString::number(inkContrast(labels[ticked]))));
            }
            QVERIFY(labels[0] != labels[1]);
            return;
        }
        QVERIFY(indicator->accessibleName() == "Text colour" && !indicator->toolTip().isEmpty());
        // The mark: what focus changed, against the bar just outside the indicator.
        for (int n = 0; n < plain.width() * plain.height(); ++n) {
            const QPoint p(n % plain.width(), n / plain.width());
            marked.setPixel(p, marked.pixel(p) == plain.pixel(p) ? plain.pixel(0, 0) : marked.pixel(p));
        }
        QVERIFY2(inkContrast(marked) >= 3, qPrintable(QString::number(inkContrast(marked))));
    }

    // A panel that comes after the program, then goes and comes again: one icon, and putting the
    // window away follows what is there now.
    void lateTray()
    {
        bool panel = false;
        build();
        program->setTrayProbe([&panel] { return panel; });
        auto* icon = program->findChild<QSystemTrayIcon*>();
        window->show();
        program->putAway();
        QVERIFY(window->isMinimized() && !icon->isVisible());
        for (bool there : {true, false, true}) {
            panel = there;
            QTRY_COMPARE(icon->isVisible(), there);
        }
        window->showWindow();
        program->putAway();
        QVERIFY(window->isHidden());
        QCOMPARE(program->findChildren<QSystemTrayIcon*>().size(), 1);
    }

    // The box and the tray menu's item write and remove the user's own entry, and agree.
    void startAtLogin_data()
    {
        QTest::addColumn<bool>("blocked");
        QTest::newRow("written, then removed") << false;
        QTest::newRow("autostart folder is a file") << true;
    }
    void startAtLogin()
    {
        QFETCH(bool, blocked);
        const QString entry = home->filePath("autostart/org.korvo.KorvoTFT.desktop");
        QFile blocker(home->filePath("autostart"));
        if (blocked)
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        build();
        auto* box = child<QCheckBox>("startAtLogin");
        QAction* item = nullptr;
        for (QAction* action : program->findChild<QSystemTrayIcon*>()->contextMenu()->actions())
            item = action->text() == "Start at login" ? action : item;
        QVERIFY(item && !box->isChecked() && !item->isChecked());
        if (blocked)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Could not create the folder of .*autostart"));
        box->click();
        QCOMPARE(box->isChecked(), !blocked);
        QCOMPARE(item->isChecked(), !blocked);
        if (blocked)
            return;
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()),
                 "[Desktop Entry]\nType=Application\nName=Korvo TFT\n"
                 "Comment=Keep the USB TFT Screen showing live figures\nExec=" +
                     QCoreApplication::applicationFilePath() +
                     "\nIcon=org.korvo.KorvoTFT\nTerminal=false\nNoDisplay=true\nX-GNOME-Autostart-enabled=true\n");
        item->trigger();
        QVERIFY(!QFileInfo::exists(entry));
        QVERIFY(!box->isChecked());
    }

    // The "+" tile's chooser opens in the folder of the last picture chosen while that folder is
    // there, else in Pictures when it holds a file, else at home; it offers the pictures, or all files.
    void pictureChooser()
    {
        QDir folder(home->path());
        QVERIFY(folder.mkpath("Pictures") && folder.mkpath("last"));
        QTranslator english;
        QVERIFY(english.load(qEnvironmentVariable("KORVO_PROGRAM_DIR") + "/lang/en.qm"));
        QCoreApplication::installTranslator(&english);
        QWidget parent;
        PictureList list(&parent, [] { return QString(); });
        list.fill();
        QCOMPARE(list.widget()->item(0)->toolTip(), QStringLiteral("Add a picture"));
        QStringList openedIn, filters;
        const auto choose = [&] {
            QTimer::singleShot(10, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                openedIn << folder.relativeFilePath(dialog->directory().absolutePath());
                filters = dialog->nameFilters();
                dialog->reject();
            });
            list.itemClickedImage(list.widget()->model()->index(0, 0));
        };
        choose();
        QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(folder.filePath("Pictures/holiday.png")));
        choose();
        QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(folder.filePath("last/gone.png")));
        list.addChosenFile(folder.filePath("last/gone.png"));
        choose();
        QVERIFY(QDir(folder.filePath("last")).removeRecursively());
        choose();
        QCOMPARE(openedIn, QStringList({".", "Pictures", "last", "Pictures"}));
        QCOMPARE(filters, QStringList({"Pictures (*.png *.jpg *.jpeg *.bmp *.gif *.webp *.jfif)", "All files (*)"}));
    }

    // What the picture list's dialogs say in English: the title and the buttons that name the
    // action; a notice has a single OK.
    void dialogWording()
    {
        QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(home->filePath("mine.png")));
        QVERIFY(start());
        auto* list = window->findChild<PictureList*>();
        list->addPicture(home->filePath("mine.png"));
        window->showWindow();
        QStringList seen;
        for (const int row : {1, 2}) { // the user's picture, then a built-in one
            QString answer;
            answerDialog(false, &answer);
            list->SlotDeletePix(row);
            seen << answer;
        }
        QCOMPARE(seen, QStringList({"Delete picture: Delete, Cancel", "Built-in picture: OK"}));
    }

    // Lines of the default category take their part's category, so that one part's debug lines can
    // be asked for; the closing newline goes.
    void logLines()
    {
        static QStringList written;
        const QtMessageHandler before =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext& context, const QString& text) {
                written << QString::fromLatin1(context.category) + '\t' + text;
            });
        logging::install();
        QLoggingCategory::setFilterRules("korvo.link.debug=true");
        QMessageLogger("/x/src/link/packets.cpp", 1, "f").debug("isStop.\n");
        QMessageLogger("/x/src/compose/a.cpp", 1, "f").debug("isStop.");
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(before);
        QCOMPARE(written, QStringList{"korvo.link\tisStop."});
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
