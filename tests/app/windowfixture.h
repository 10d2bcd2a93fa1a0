// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window on the virtual screen, in a home of its own, without the pauses a person needs.

#include "app/mainwindow.h"
#include "app/programcore.h"
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
    std::unique_ptr<korvo::ProgramCore> program;
    korvo::MainWindow* window = nullptr; // the program's, once built

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

    // The program with its window built, with a person's pauses.
    void build()
    {
        program = std::make_unique<korvo::ProgramCore>();
        window = &program->builtWindow();
    }
    // The virtual screen needs no time to settle, and nobody watches the window paint.
    bool start()
    {
        program = std::make_unique<korvo::ProgramCore>(korvo::ProgramCore::Timings{0, 0, 0});
        const bool started = QSignalSpy(program.get(), &korvo::ProgramCore::started).wait(15000);
        window = &program->builtWindow();
        return started;
    }
    // What an earlier run left: no first start to wait for.
    bool returningUser() const
    {
        const QString folder = home->filePath("Korvo TFT");
        const QString shipped = qEnvironmentVariable("KORVO_PROGRAM_DIR");
        return QDir().mkpath(folder) && QFile::copy(shipped + "/Config.ini", folder + "/Config.ini") &&
               QFile::copy(shipped + "/whole.png", folder + "/whole.png");
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

// Answers the next modal dialog, recording what the user saw in it: "title: buttons", the visible
// buttons yes first.
inline void answerDialog(bool accept, QString* seen = nullptr)
{
    QTimer::singleShot(10, [accept, seen] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return answerDialog(accept, seen);
        if (seen) {
            QStringList buttons;
            for (const char* name : {"btnOk", "btnCancel"}) {
                auto* button = dialog->findChild<QPushButton*>(QLatin1String(name));
                if (button && button->isVisible())
                    buttons << button->text();
            }
            *seen = dialog->windowTitle() + ": " + buttons.join(", ");
        }
        accept ? dialog->accept() : dialog->reject();
    });
}
