// SPDX-License-Identifier: GPL-3.0-or-later
#include "GetCPUInfo/win/thermalzone_win.h"

#include "GetCPUInfo/winfigures.h"

#include <windows.h>

#include <wbemidl.h>

namespace korvo::sensors {
namespace {

// A machine has a handful of zones; more rows than this are a provider gone wrong.
constexpr int MaxZones = 64;
// WMI answers from the ACPI driver within milliseconds; a provider that hangs must not stop the
// once-a-second publishing for long.
constexpr long RowTimeoutMs = 2000;

QString failure(const char* what, HRESULT result)
{
    return QStringLiteral("%1 failed: 0x%2").arg(QLatin1String(what)).arg(quint32(result), 8, 16, QLatin1Char('0'));
}

// The owner of a BSTR, which the WMI calls take for their string arguments.
class Bstr
{
public:
    explicit Bstr(const wchar_t* text) : value_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return value_; }

private:
    BSTR value_;
};

} // namespace

ThermalZone::ThermalZone()
{
    // Multithreaded: a single-threaded apartment would run the window's messages while a WMI call
    // waits, and a timer tick could then start a second reading inside the first.
    const HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    comInitialised_ = SUCCEEDED(result);
    if (!comInitialised_) {
        error_ = failure("CoInitializeEx", result);
        return;
    }
    // WMI wants impersonation; a process that set its security earlier keeps its own.
    const HRESULT security = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                                  RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    if (FAILED(security) && security != RPC_E_TOO_LATE)
        error_ = failure("CoInitializeSecurity", security);
}

ThermalZone::~ThermalZone()
{
    if (services_)
        services_->Release();
    if (comInitialised_)
        CoUninitialize();
}

bool ThermalZone::connect()
{
    if (!comInitialised_)
        return false;
    IWbemLocator* locator = nullptr;
    HRESULT result = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                      reinterpret_cast<void**>(&locator));
    if (FAILED(result)) {
        error_ = failure("CoCreateInstance(WbemLocator)", result);
        return false;
    }
    const Bstr space(L"ROOT\\WMI");
    result = locator->ConnectServer(space.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, &services_);
    locator->Release();
    if (FAILED(result)) {
        services_ = nullptr;
        error_ = failure("IWbemLocator::ConnectServer(ROOT\\WMI)", result);
        return false;
    }
    result = CoSetProxyBlanket(services_, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                               RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    if (FAILED(result)) {
        services_->Release();
        services_ = nullptr;
        error_ = failure("CoSetProxyBlanket", result);
        return false;
    }
    return true;
}

std::optional<int> ThermalZone::readCelsius()
{
    if (!services_ && !connect())
        return std::nullopt;
    const Bstr language(L"WQL");
    const Bstr query(L"SELECT CurrentTemperature FROM MSAcpi_ThermalZoneTemperature");
    IEnumWbemClassObject* rows = nullptr;
    HRESULT result = services_->ExecQuery(language.get(), query.get(),
                                          WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, &rows);
    if (FAILED(result)) {
        error_ = failure("ExecQuery(MSAcpi_ThermalZoneTemperature)", result);
        return std::nullopt;
    }
    std::optional<int> hottest;
    for (int zone = 0; zone < MaxZones; ++zone) {
        IWbemClassObject* row = nullptr;
        ULONG count = 0;
        result = rows->Next(RowTimeoutMs, 1, &row, &count);
        if (FAILED(result) || count == 0)
            break;
        VARIANT value;
        VariantInit(&value);
        // CIM's uint32 arrives as VT_I4; the bits are the same.
        if (SUCCEEDED(row->Get(L"CurrentTemperature", 0, &value, nullptr, nullptr)) &&
            (value.vt == VT_I4 || value.vt == VT_UI4)) {
            const std::optional<int> celsius = celsiusFromDeciKelvin(quint32(value.lVal));
            if (celsius && (!hottest || *celsius > *hottest))
                hottest = celsius;
        }
        VariantClear(&value);
        row->Release();
    }
    rows->Release();
    if (FAILED(result))
        error_ = failure("IEnumWbemClassObject::Next", result);
    else if (!hottest)
        error_ = QStringLiteral("no thermal zone gave a plausible temperature");
    return hottest;
}

} // namespace korvo::sensors
