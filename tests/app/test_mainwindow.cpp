// SPDX-License-Identifier: GPL-3.0-or-later
// The program's window driven headless on the virtual screen, judged by the packets it receives.

#include "app/mainwindow.h"
#include "app/virtualscreenviewer.h"
#include "compose/screensession.h"
#include "config/configstore.h"
#include "editor/zoomwidget.h"
#include "platform/devicenotifier.h"
#include "platform/sibling.h"
#include "widgets/tavopushbutton.h"

#include "windowfixture.h"

#include <QtTest>
#include <QtWidgets>

#include <thread>

using namespace korvo;

class TestMainWindow : public QObject, WindowFixture
{
    Q_OBJECT

    // The preview without the rotate button on it.
    QImage previewPicture()
    {
        QImage picture(window->editor()->size(), QImage::Format_RGB32);
        picture.fill(Qt::black);
        window->editor()->render(&picture, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        return picture;
    }

public:
    TestMainWindow() : WindowFixture("WindowTest") {}

private slots:
    void init() { QVERIFY(freshHome()); }
    void cleanup() { program.reset(); }

    // The first start sends the shipped layout and puts the window away (no notification area here:
    // minimized, not hidden); without a screen the window stays. A restart sends no frame to a screen
    // that still shows the layout, but sends it whole to a virtual screen, which starts black.
    void firstStartThenRestart_data()
    {
        QTest::addColumn<bool>("virtualScreen");
        QTest::newRow("screen") << false;
        QTest::newRow("virtual screen") << true;
    }
    void firstStartThenRestart()
    {
        QFETCH(bool, virtualScreen);
        for (int run = 0; run < 2; ++run) {
            program.reset();
            if (virtualScreen)
                screen.reset();
            screen.clearLog();
            program = std::make_unique<ProgramCore>(ProgramCore::Timings{0, 0, 0});
            program->setStaysOpen(virtualScreen);
            QVERIFY(QSignalSpy(program.get(), &ProgramCore::started).wait(15000));
            if (run > 0)
                break;
            // The clock, a second later the clock again, the frame, its orientation and the clock
            // after it; then the refresh passes.
            QVERIFY2(letters().startsWith("CCFOT"), qPrintable(letters()));
            window = program->window();
            QVERIFY(window && window->isVisible() && window->isMinimized() != virtualScreen);
            QTRY_VERIFY_WITH_TIMEOUT(letters().count('C') >= 6, 5000);
            QVERIFY(letters().mid(6).contains('A'));
        }
        QCOMPARE(letters().contains('F'), virtualScreen);
        QVERIFY(program->builtWindow().session().refreshing());
    }

    // The template shows temperature, CPU load, time and the free text: four, with the time and
    // date counting once; six may be shown. A seventh is refused until one goes, the date joins the
    // time, and the GPU's figures count like the others.
    void checkBoxLimit()
    {
        QVERIFY(start());
        QString ticks;
        for (const size_t box : {2, 4, 6, 5, 4, 6, 9, 6, 9, 10}) {
            auto* check = window->findChild<QCheckBox*>(QStringLiteral("check%1").arg(box + 1));
            check->click();
            ticks += check->isChecked() ? 'x' : '-';
            QCOMPARE(window->profile().custom[0].Show_[box], uint8_t(check->isChecked()));
            QCOMPARE(window->editor()->model().working().record.Show_[box], uint8_t(check->isChecked()));
        }
        QCOMPARE(ticks, QStringLiteral("xx-x-x--x-"));
    }

    // On a machine without sensors the tick boxes say what is missing.
    void missingFigureTooltips()
    {
        QTemporaryDir empty;
        qputenv("KORVO_SYSFS_ROOT", empty.path().toUtf8());
        qputenv("KORVO_NVML_LIBRARY", empty.filePath("libnvidia-ml.so.1").toUtf8());
        const bool started = start();
        qunsetenv("KORVO_SYSFS_ROOT");
        qunsetenv("KORVO_NVML_LIBRARY");
        QVERIFY(started);
        const QString gpu = child("check10")->toolTip();
        QCOMPARE(child("check1")->toolTip(),
                 QStringLiteral(
                     "No CPU temperature sensor found: looked for k10temp, coretemp, zenpower and the thermal zones"));
        QCOMPARE(child("check3")->toolTip(), QString()); // the memory load needs no sensor
        QVERIFY2(gpu.startsWith("No GPU temperature sensor found: looked for amdgpu, radeon, nouveau, i915, xe; "
                                "NVML could not be loaded"),
                 qPrintable(gpu));
    }

    // The rotate button turns the preview and its own icon, and a second press brings both back;
    // the turned preview is the one a start in portrait shows.
    void rotateTwiceComesBack()
    {
        QVERIFY(start());
        auto* rotate = child<TavoPushButton>("btnRemote");
        const QImage icon = rotate->grab().toImage();
        const QImage landscape = previewPicture();
        const QRect place = rotate->geometry();
        rotate->click();
        const QImage portrait = previewPicture();
        QVERIFY(rotate->grab().toImage() != icon);
        QVERIFY(window->editor()->rect().contains(rotate->geometry())); // still on the preview
        rotate->click();
        QCOMPARE(rotate->grab().toImage(), icon);
        QCOMPARE(previewPicture(), landscape);
        QCOMPARE(rotate->geometry(), place);

        rotate->click();
        click("btnApply");
        program.reset();
        QVERIFY(start());
        QCOMPARE(previewPicture(), portrait);
    }

    // Cancelling an edit asks first: keeping on editing keeps the change, discarding takes it back.
    void editThenCancel()
    {
        QVERIFY(start());
        const uint8_t colour = window->editor()->model().working().record.Color;
        click("btnEdit");
        window->slotFontColor(colour == 2 ? 3 : 2);
        for (const bool accept : {false, true}) {
            QString seen;
            answerDialog(accept, &seen);
            click("btnEdit_cancel");
            QCOMPARE(seen, QStringLiteral("Discard changes: Discard changes, Keep editing"));
            QCOMPARE(window->editor()->model().working().record.Color == colour, accept);
            QCOMPARE(child("btnEdit")->isVisible(), accept);
            QCOMPARE(child("btnEdit_cancel")->isVisible(), !accept);
        }
    }

    // After Apply, one line under the preview says what happened. Settings that cannot be written:
    // the screen still gets the layout, the file stays as it was, and the user is told once, however
    // often they apply.
    void apply_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("line");
        QTest::newRow("sent") << true << true << "Sent to the screen";
        QTest::newRow("unplugged") << false << true
                                   << "The screen is not connected; the layout is kept and sent when it is plugged in";
        QTest::newRow("settings not saved") << true << false << "Sent to the screen";
    }
    void apply()
    {
        QFETCH(bool, present);
        QFETCH(bool, writable);
        QVERIFY(start());
        QTRY_VERIFY_WITH_TIMEOUT(letters().count('A') > 0, 5000);
        screen.setPresent(present);
        QVERIFY(writable || QFile::setPermissions(configFilePath(), QFile::ReadOwner));
        const auto stored = [] {
            QFile config(configFilePath());
            return config.open(QIODevice::ReadOnly) ? config.readAll() : QByteArray();
        };
        const QByteArray before = stored();
        click("btnRemote"); // portrait, in the working layout only
        for (int apply = 0; apply < 2; ++apply) {
            screen.clearLog();
            const int frames = screen.stats().framesCompleted;
            click("btnApply");
            QTEST(child<QLabel>("applyResult")->text(), "line");
            QCOMPARE(screen.stats().framesCompleted > frames, present);
        }
        QVERIFY(child("applyResult")->isVisibleTo(window));
        QVERIFY(window->session().refreshing());
        QCOMPARE(window->document().committedState().Hor, uint8_t(present ? 1 : 0));
        QCOMPARE(QSettings(configFilePath(), QSettings::IniFormat).value("Config/Hor").toInt(),
                 present && writable ? 1 : 0);
        QVERIFY(writable || stored() == before);
        const QString sent = letters();
        QVERIFY2(!present || sent.mid(sent.indexOf('F')).startsWith("FOT"), qPrintable(sent));
        QCOMPARE(screen.stats().interleaved, 0);
        QCOMPARE(screen.orientation(), present ? 2 : 1);
        const QList<QMessageBox*> boxes = window->findChildren<QMessageBox*>();
        QCOMPARE(boxes.size(), writable ? 0 : 1);
        QVERIFY(writable || boxes.front()->text() == "The settings could not be saved: the disk is full or the "
                                                     "settings folder cannot be written. Your changes will be lost "
                                                     "when the program ends.");
    }

    // The close button, Alt+F4 or the task bar's Close: the same question, shown on the window;
    // Cancel keeps everything running.
    void exit_data()
    {
        QTest::addColumn<bool>("closeEvent");
        QTest::newRow("exit button") << false;
        QTest::newRow("window manager") << true;
    }
    void exit()
    {
        QFETCH(bool, closeEvent);
        QVERIFY(start());
        QTRY_VERIFY(platform::siblingRunning());
        for (const bool accept : {false, true}) {
            closeEvent ? window->show() : window->hide(); // the button shows a hidden window for its question
            QString seen;
            answerDialog(accept, &seen);
            QCloseEvent close;
            closeEvent ? void(QApplication::sendEvent(window, &close)) : click("btnExit");
            QTRY_COMPARE(seen, QStringLiteral("Exit Korvo TFT: Exit, Cancel"));
            QCOMPARE(window->session().refreshing(), !accept);
            QCOMPARE(window->isVisible(), !accept); // shown for the question, closed after a yes
        }
        program.reset();
        QVERIFY(!platform::siblingRunning());
    }

    // A later start stays in the notification area: the screen is kept current, and the window is
    // built the first time a click asks for it (not the icon's menu) and kept from then on.
    void hiddenStart()
    {
        QVERIFY(returningUser());
        program = std::make_unique<ProgramCore>(ProgramCore::Timings{0, 0, 0});
        program->setTrayProbe([] { return true; });
        program->putAway();
        QVERIFY(QSignalSpy(program.get(), &ProgramCore::started).wait(15000));
        QTRY_VERIFY_WITH_TIMEOUT(letters().contains('A'), 5000);
        auto* icon = program->findChild<QSystemTrayIcon*>();
        emit icon->activated(QSystemTrayIcon::Context);
        QCOMPARE(program->window(), nullptr);
        emit icon->activated(QSystemTrayIcon::Trigger);
        const QPointer<MainWindow> first = program->window();
        QVERIFY(first && first->isVisible());
        program->putAway();
        emit icon->activated(QSystemTrayIcon::DoubleClick);
        QVERIFY(program->window() == first && first->isVisible()); // kept, not built again
        QVERIFY2(!letters().contains('F'), qPrintable(letters()));
    }

    // After the screen went away, only the screen's own vendor interface coming back opens it.
    void hotPlugOfOthers()
    {
        QVERIFY(start());
        const QString vendor = QString::fromLatin1(link::VirtualScreen::vendorPath());
        screen.setPresent(false);
        program->deviceChanged({vendor, 0x04D9, 0xFD01, 1, false});
        screen.setPresent(true);
        QTest::qWait(50);
        screen.clearLog();
        program->deviceChanged({QString::fromLatin1(link::VirtualScreen::consumerPath()), 0x04D9, 0xFD01, 0, true});
        program->deviceChanged({vendor, 0x046D, 0xFD01, 1, true});
        // No frame: the screen was not opened. (A pass under way at the removal may still end.)
        QTest::qWait(300);
        QVERIFY2(!letters().contains('F'), qPrintable(letters()));
    }

    void language_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("translations");
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("applyText");
        QTest::newRow("zh_CN") << QLocale(QLocale::Chinese, QLocale::China) << true << false << "应用";
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << true << true << "Apply";
        QTest::newRow("en_US, no lang folder") << QLocale(QLocale::English) << false << true << "应用";
    }

    void language()
    {
        QFETCH(QLocale, locale);
        QFETCH(bool, translations);
        QLocale::setDefault(locale);
        if (!translations)
            setProgramDirOverride(home->filePath("empty-program-folder"));
        build();
        QTEST(window->englishInterface(), "english");
        QTEST(child<QPushButton>("btnApply")->text(), "applyText");
    }

    // The virtual screen's window: RGB565 quarters, red, green / blue, white, from the refresh thread;
    // in portrait turned back upright, so that the frame's top edge is the picture's right edge.
    void viewerShows()
    {
        std::vector<uint8_t> frame;
        for (int i = 0; i < 320 * 170; ++i) {
            const uint16_t rgb = i < 320 * 85 ? (i % 320 < 160 ? 0xF800 : 0x07E0) : (i % 320 < 160 ? 0x001F : 0xFFFF);
            frame.insert(frame.end(), {uint8_t(rgb >> 8), uint8_t(rgb)});
        }
        link::InitDeviceTable();
        QCOMPARE(link::EnumerateScreens(), 0);
        VirtualScreenViewer viewer(screen);
        for (const bool portrait : {false, true}) {
            std::thread([&] { link::SendOrientation(portrait ? 1 : 0), link::SendFrame(frame.data(), 0); }).join();
            QCoreApplication::processEvents();
            QCOMPARE(viewer.size(), portrait ? QSize(340, 640) : QSize(640, 340));
            // A quarter's corner, where a pixel off shows another colour.
            const QRgb corner = viewer.grab().toImage().pixel(portrait ? QPoint(169, 320) : QPoint(319, 170));
            QCOMPARE(corner, portrait ? qRgb(255, 255, 255) : qRgb(0, 0, 255));
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
