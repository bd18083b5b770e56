#include "base/service_addresses.h"

#include <windows.h>

#include <vector>

namespace {

constexpr wchar_t kOverrideVariable[] = L"CORVALLE_SERVICE_BASE";

const wchar_t* DefaultAddress(Service service) {
    switch (service) {
    case Service::Statistics:
        return L"http://stat.zubpellor.com";
    case Service::Weather:
        return L"http://weather.zubpellor.com";
    case Service::HomePage:
        return L"http://www.zubpellor.com/vyn";
    case Service::UserGuide:
        return L"http://www.zubpellor.com/vyn/guide.html";
    case Service::UpdateInfo:
        return L"http://update.zubpellor.com";
    case Service::Catalog:
        return L"http://soft.zubpellor.com";
    case Service::MobileCatalog:
        return L"http://msoft.zubpellor.com";
    case Service::InterfaceServer:
        return L"http://api.soft.zubpellor.com";
    }
    return L"";
}

std::wstring OverrideBase() {
    const DWORD needed = ::GetEnvironmentVariableW(kOverrideVariable, nullptr, 0);
    if (needed == 0) return std::wstring();
    std::vector<wchar_t> buffer(needed);
    const DWORD len = ::GetEnvironmentVariableW(kOverrideVariable, buffer.data(), needed);
    if (len == 0 || len >= needed) return std::wstring();
    std::wstring base(buffer.data(), len);
    while (!base.empty() && base.back() == L'/') base.pop_back();
    return base;
}

}  // namespace

std::wstring RebaseAddress(const std::wstring& address, const std::wstring& base) {
    if (base.empty()) return address;
    const size_t scheme = address.find(L"://");
    const size_t hostStart = scheme == std::wstring::npos ? 0 : scheme + 3;
    const size_t path = address.find(L'/', hostStart);
    return path == std::wstring::npos ? base : base + address.substr(path);
}

std::wstring ServiceAddress(Service service) {
    return RebaseAddress(DefaultAddress(service), OverrideBase());
}
