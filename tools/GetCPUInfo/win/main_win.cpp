// GetCPUInfo for Windows: measures the CPU load and, where the firmware lets it, the CPU
// temperature once a second and publishes them in the shared memory that the program's refresh
// loop reads. The program finds this copy by its hidden window's class and title and ends it
// with WM_CLOSE.

#include "GetCPUInfo/gpusensors.h"
#include "GetCPUInfo/win/thermalzone_win.h"
#include "GetCPUInfo/winfigures.h"
#include "metrics/cpuinfo.h"
#include "platform/sibling.h"

#include <QSharedMemory>
#include <QtEndian>

#include <cstring>
#include <optional>

#include <windows.h>

namespace {

using korvo::metrics::UnavailableFigure;
using korvo::sensors::SystemTimes;

constexpr UINT PublishIntervalMs = 1000;
constexpr UINT_PTR PublishTimer = 1;
// Reading the zones fails for good on most machines (administrators only, no ACPI zone); asking
// WMI again once a minute costs nothing and notices a zone that appears late.
constexpr int TemperatureRetryTicks = 60;

const wchar_t* const WindowTitle = korvo::platform::SiblingWindowTitle;
const wchar_t* const WindowClass = korvo::platform::SiblingWindowClass;
// No "Global\" prefix: one copy per log-on, like the program itself.
const wchar_t* const CopyGuard = L"Korvo TFT GetCPUInfo";

std::optional<SystemTimes> readSystemTimes()
{
    FILETIME idle;
    FILETIME kernel;
    FILETIME user;
    if (!GetSystemTimes(&idle, &kernel, &user))
        return std::nullopt;
    const auto ticks = [](const FILETIME& time) {
        return (quint64(time.dwHighDateTime) << 32) | quint64(time.dwLowDateTime);
    };
    return SystemTimes{ticks(idle), ticks(kernel), ticks(user)};
}

// A figure that cannot be read is published as unavailable and reported once, not once a second.
void reportOnce(bool& reported, const QString& message)
{
    if (!reported)
        qWarning("GetCPUInfo: %s", qPrintable(message));
    reported = true;
}

class Publisher
{
public:
    explicit Publisher(QSharedMemory& memory)
        : memory_(memory), times_(readSystemTimes()), gpu_(korvo::sensors::SensorRoots::fromEnvironment())
    {
        qWarning("GetCPUInfo: Windows offers no CPU power or fan reading without a driver; publishing them as "
                 "unavailable.");
    }

    void publish()
    {
        const korvo::sensors::GpuFigures gpu = gpu_.sample();
        if (gpu.temperature == UnavailableFigure)
            reportOnce(gpuReported_, gpu_.temperatureSource());
        const qint32 words[korvo::metrics::CpuInfoBlockSize / 4] = {qToLittleEndian<qint32>(temperature()),
                                                                    qToLittleEndian<qint32>(load()),
                                                                    qToLittleEndian<qint32>(UnavailableFigure),
                                                                    0,
                                                                    0, // the heartbeat
                                                                    qToLittleEndian<qint32>(UnavailableFigure),
                                                                    qToLittleEndian<qint32>(gpu.temperature),
                                                                    qToLittleEndian<qint32>(gpu.load)};
        if (!memory_.lock()) {
            reportOnce(lockReported_, QStringLiteral("cannot lock the shared memory: ") + memory_.errorString());
            return;
        }
        std::memcpy(memory_.data(), words, sizeof(words));
        memory_.unlock();
    }

private:
    // The first call only primes the counters and gives no figure, nor does a pair of readings
    // that makes no sense.
    int load()
    {
        const std::optional<SystemTimes> now = readSystemTimes();
        if (!now) {
            reportOnce(
                loadReported_,
                QStringLiteral("GetSystemTimes failed (error %1); the load is unavailable.").arg(GetLastError()));
            return UnavailableFigure;
        }
        const std::optional<int> percent = times_ ? korvo::sensors::loadBetween(*times_, *now) : std::nullopt;
        times_ = now;
        return percent.value_or(UnavailableFigure);
    }

    int temperature()
    {
        if (ticksToTemperature_ > 0) {
            --ticksToTemperature_;
            return UnavailableFigure;
        }
        const std::optional<int> celsius = thermalZone_.readCelsius();
        if (!celsius) {
            reportOnce(
                temperatureReported_,
                QStringLiteral("no CPU temperature from WMI (%1); it is unavailable.").arg(thermalZone_.lastError()));
            ticksToTemperature_ = TemperatureRetryTicks;
            return UnavailableFigure;
        }
        return *celsius;
    }

    QSharedMemory& memory_;
    std::optional<SystemTimes> times_;
    korvo::sensors::ThermalZone thermalZone_;
    korvo::sensors::GpuSampler gpu_;
    int ticksToTemperature_ = 0;
    bool gpuReported_ = false;
    bool lockReported_ = false;
    bool loadReported_ = false;
    bool temperatureReported_ = false;
};

// The one window of the process; its procedure reaches the publisher through this.
Publisher* publisher = nullptr;

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == PublishTimer && publisher)
            publisher->publish();
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool openSegment(QSharedMemory& memory)
{
    // Attach first: a create that fails on the program's segment would take its lock over.
    if (!memory.attach(QSharedMemory::ReadWrite) &&
        !memory.create(korvo::metrics::CpuInfoMemorySize, QSharedMemory::ReadWrite)) {
        qWarning("GetCPUInfo: cannot open the shared memory %s: %s", qPrintable(memory.key()),
                 qPrintable(memory.errorString()));
        return false;
    }
    if (memory.size() < korvo::metrics::CpuInfoBlockSize) {
        qWarning("GetCPUInfo: the shared memory %s is too small (%d bytes).", qPrintable(memory.key()), memory.size());
        return false;
    }
    return true;
}

int run()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = WindowClass;
    if (!RegisterClassExW(&windowClass)) {
        qWarning("GetCPUInfo: RegisterClassExW failed: error %lu", GetLastError());
        return 1;
    }
    // A top-level window, never shown: FindWindowW finds hidden windows but not message-only ones.
    const HWND window = CreateWindowExW(0, WindowClass, WindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!window) {
        qWarning("GetCPUInfo: CreateWindowExW failed: error %lu", GetLastError());
        return 1;
    }

    QSharedMemory memory(korvo::metrics::cpuInfoMemoryKey());
    if (!openSegment(memory)) {
        DestroyWindow(window);
        return 1;
    }
    Publisher segmentPublisher(memory);
    segmentPublisher.publish();
    publisher = &segmentPublisher;
    if (!SetTimer(window, PublishTimer, PublishIntervalMs, nullptr)) {
        qWarning("GetCPUInfo: SetTimer failed: error %lu", GetLastError());
        publisher = nullptr;
        DestroyWindow(window);
        return 1;
    }

    MSG message{};
    BOOL got = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (got < 0)
        qWarning("GetCPUInfo: GetMessageW failed: error %lu", GetLastError());
    publisher = nullptr;
    memory.detach();
    return got < 0 ? 1 : int(message.wParam);
}

} // namespace

int main()
{
    const HANDLE guard = CreateMutexW(nullptr, FALSE, CopyGuard);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        qInfo("GetCPUInfo: another copy is already running.");
        CloseHandle(guard);
        return 0;
    }
    // Without the guard a second copy could start, which only doubles the work: go on.
    if (!guard)
        qWarning("GetCPUInfo: CreateMutexW failed: error %lu, running without a guard", GetLastError());
    const int result = run();
    if (guard)
        CloseHandle(guard);
    return result;
}
