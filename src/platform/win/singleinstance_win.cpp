// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/singleinstance.h"

#include <windows.h>

namespace korvo::platform {

struct SingleInstance::Private
{
    HANDLE mutex = nullptr;
    bool acquired = false;
};

SingleInstance::SingleInstance(QObject* parent) : QObject(parent), d(std::make_unique<Private>()) {}

SingleInstance::~SingleInstance()
{
    if (d->mutex && !CloseHandle(d->mutex))
        qWarning("Single instance: CloseHandle failed: error %lu", GetLastError());
}

bool SingleInstance::acquire()
{
    if (d->acquired)
        return true;
    // No "Global\" or "Local\" prefix: the guard holds within one log-on, like the window.
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Korvo TFT Setting by Tavo 1");
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        // Another copy runs; this start ends without a word.
        if (mutex && !CloseHandle(mutex))
            qWarning("Single instance: CloseHandle failed: error %lu", GetLastError());
        return false;
    }
    if (!mutex)
        qWarning("Single instance: CreateMutexW failed: error %lu, starting without a guard", error);
    d->mutex = mutex;
    d->acquired = true;
    return true;
}

QByteArray SingleInstance::askRunningCopy(const QByteArray&)
{
    return QByteArray();
}

void SingleInstance::setHeadless(bool) {}

} // namespace korvo::platform
