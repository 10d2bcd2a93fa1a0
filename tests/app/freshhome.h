// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/configstore.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

// Points the window's folders, its instance names and its program folder at fresh places, so
// that no two test functions (nor the user's own copy) meet.
inline bool useFreshHome(const QTemporaryDir& home, const char* tag, int instance)
{
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"})
        qputenv(name, home.path().toUtf8());
    const QByteArray suffix = "-" + QByteArray(tag) + QByteArray::number(QCoreApplication::applicationPid()) + "-" +
                              QByteArray::number(instance);
    qputenv("KORVO_INSTANCE_SUFFIX", suffix);
    qputenv("KORVO_CPUINFO_KEY", "Korvo" + QByteArray(tag) + suffix);
    korvo::setProgramDirOverride(qEnvironmentVariable("KORVO_PROGRAM_DIR"));
    korvo::firstUseFlag = false;
    return QFile::setPermissions(home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
