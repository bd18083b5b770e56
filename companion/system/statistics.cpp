#include "companion/system/statistics.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "companion/system/paths.h"
#include "base/log.h"
#include "base/module_exports.h"
#include "base/module_path.h"
#include "base/service_addresses.h"
#include "companion/system/text_utils.h"

namespace companion {

namespace {

constexpr int kClientIdCapacity = 100;

std::wstring InstalledProductDir() {
    std::wstring own;
    return GetExeDir(own) ? ParentDir(own) : std::wstring();
}

}  // namespace

const std::map<int, std::wstring>& StatEventTable() {
    static const std::map<int, std::wstring> table = {
        {0, L"vyneye&type=eyecare"},       {1, L"vyneye&type=neckcare"},     {2, L"vyneye&type=reston"},
        {3, L"vyneye&type=restoff"},       {4, L"vyneye&type=coloron"},      {5, L"vyneye&type=coloroff"},
        {6, L"vyneye&type=seting"},        {7, L"vynremind&type=addremind"}, {8, L"vynremind&type=delremind"},
        {9, L"vynremind&type=nontips"},    {10, L"vynturnoff&type=addtask"}, {11, L"vynturnoff&type=deltask"},
        {12, L"vynturnoff&type=nontask"},  {13, L"vynset&type=autoon"},      {14, L"vynset&type=autooff"},
        {15, L"vynset&type=remindon"},     {16, L"vynset&type=remindoff"},   {17, L"vynset&type=soundon"},
        {18, L"vynset&type=soundoff"},
    };
    return table;
}

int GetModuleVersionString(std::wstring& version) {
    static std::wstring cached;
    if (!cached.empty()) {
        version = cached;
        return 0;
    }
    const std::wstring self = base::ModuleFilePath();
    if (self.empty()) return -2;
    const wchar_t* path = self.c_str();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return -2;
    std::vector<BYTE> data;
    try {
        data.resize(size);
    } catch (...) {
        return -3;
    }
    if (!::GetFileVersionInfoW(path, 0, size, data.data())) return -2;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoLen = 0;
    if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoLen) || !info ||
        infoLen < sizeof(VS_FIXEDFILEINFO))
        return -2;
    FormatWString(cached, L"%d.%d.%d.%d", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                  HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
    version = cached;
    return 0;
}

CStatistics::CStatistics(std::wstring productDir) : productDir_(std::move(productDir)) {
    // Without a folder there is nothing safe to load: a bare name would be
    // searched for along the path.
    if (productDir_.empty()) return;
    const std::wstring path = productDir_ + L"sweeper\\" + protocol::outside::kQuellinLibrary;
    library_.Reset(::LoadLibraryW(path.c_str()));
    if (!library_) {
        base::LogFailedCall((L"statistics library " + path).c_str(), L"LoadLibraryW");
        return;
    }
    processStats_ = base::Export<protocol::outside::ProcessStatsFn>(library_.Get(), protocol::outside::kProcessStatsName);
    if (!processStats_) base::LogLine(L"statistics library", L"no entry; nothing is reported: " + path);
}

CStatistics& CStatistics::Instance() {
    static CStatistics statistics(InstalledProductDir());
    return statistics;
}

std::wstring CStatistics::GetMachineId() {
    if (!machineId_.empty() || productDir_.empty()) return machineId_;
    const std::wstring path = productDir_ + protocol::outside::kZubverifyLibrary;
    base::Library library(::LoadLibraryW(path.c_str()));
    if (!library) {
        base::LogFailedCall((L"client-id library " + path).c_str(), L"LoadLibraryW");
        return std::wstring();
    }
    const auto getCid = base::Export<protocol::outside::GetCidFn>(library.Get(), protocol::outside::kGetCidName);
    if (!getCid) {
        base::LogLine(L"client-id library", L"no entry; no machine id: " + path);
        return std::wstring();
    }
    wchar_t buffer[kClientIdCapacity] = {};
    if (getCid(buffer, kClientIdCapacity) == 0) return std::wstring();
    buffer[kClientIdCapacity - 1] = L'\0';  // whatever the library did with the end
    machineId_ = buffer;
    return machineId_;
}

void CStatistics::AppendStatSuffix(std::wstring& url) {
    std::wstring version;
    GetModuleVersionString(version);
    url += L"&appver=";
    url += version;
    url += L"&m=";
    url += GetMachineId();
}

std::wstring CStatistics::BuildUrl(const std::wstring& eventText) {
    std::wstring url = ServiceAddress(Service::Statistics) + L"/track.htm?program=" + eventText;
    AppendStatSuffix(url);
    return url;
}

void CStatistics::SendStatistic(const std::wstring& eventText) {
    if (!processStats_) return;
    const std::wstring url = BuildUrl(eventText);
    processStats_(url.c_str());
}

void CStatistics::SendSettingsEvent(int code) {
    const auto& table = StatEventTable();
    const auto found = table.find(code);
    SendStatistic(found == table.end() ? std::wstring() : found->second);
}

}  // namespace companion
