// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window on the virtual screen, in a home of its own, without the pauses a person needs.

#include "app/mainwindow.h"
#include "config/configstore.h"

#include "compose/screenfixture.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

struct WindowFixture
{
    explicit WindowFixture(const char* tag) : tag(tag) { screen.setLogging(true); }

    const char* tag;
    int instance = 0;
    std::unique_ptr<QTemporaryDir> home;
    korvo::link::VirtualScreen screen;
    std::unique_ptr<korvo::MainWindow> window;

    // The window's folders, its instance names and its program folder at fresh places, so that no
    // two test functions (nor the user's own copy) meet; English; a screen with nothing sent yet.
    bool freshHome()
    {
        home = std::make_unique<QTemporaryDir>();
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"})
            qputenv(name, home->path().toUtf8());
        const QByteArray suffix = "-" + QByteArray(tag) + QByteArray::number(QCoreApplication::applicationPid()) + "-" +
                                  QByteArray::number(++instance);
        qputenv("KORVO_INSTANCE_SUFFIX", suffix);
        qputenv("KORVO_CPUINFO_KEY", "Korvo" + QByteArray(tag) + suffix);
        korvo::setProgramDirOverride(qEnvironmentVariable("KORVO_PROGRAM_DIR"));
        korvo::firstUseFlag = false;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        screen.reset();
        screen.clearLog();
        return QFile::setPermissions(home->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The virtual screen needs no time to settle, and nobody watches the window paint.
    bool start()
    {
        window = std::make_unique<korvo::MainWindow>(korvo::MainWindow::Timings{0, 0, 0});
        return QSignalSpy(window.get(), &korvo::MainWindow::started).wait(15000);
    }
    template <typename T = QWidget> T* child(const char* name) const
    {
        return window->findChild<T*>(QLatin1String(name));
    }
    void click(const char* button) const { child<QPushButton>(button)->click(); }
    QString letters() const { return packetLetters(screen.log()); }
};

// The program itself on the HID stand-in, its packets logged to `writes` (a sanitized child must
// be told that the stand-in comes before the sanitizer).
inline QProcessEnvironment programEnvironment(const QString& writes)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_PRELOAD", KORVO_FAKEHID_LIBRARY);
    environment.insert("ASAN_OPTIONS", environment.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
    environment.insert("KORVO_FAKEHID_LOG", writes);
    return environment;
}

struct DialogAnswer
{
    bool done = false;
    QString title;
    QStringList buttons; // the visible ones, yes first
};

// Answers the next modal dialog, recording what the user saw in it.
inline void answerDialog(bool accept, DialogAnswer* answer = nullptr)
{
    QTimer::singleShot(10, [accept, answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return answerDialog(accept, answer);
        if (answer) {
            answer->title = dialog->windowTitle();
            for (const char* name : {"btnOk", "btnCancel"}) {
                auto* button = dialog->findChild<QPushButton*>(QLatin1String(name));
                if (button && button->isVisible())
                    answer->buttons << button->text();
            }
            answer->done = true;
        }
        accept ? dialog->accept() : dialog->reject();
    });
}
