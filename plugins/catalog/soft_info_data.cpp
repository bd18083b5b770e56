#include "plugins/catalog/soft_info_data.h"

#include <shlwapi.h>

#include <atomic>
#include <cstring>
#include <cwchar>
#include <string>

#include "base/exception_barrier.h"
#include "plugins/common/plugin_object.h"

namespace catalog {

namespace {

void SystemVersion(DWORD* major, DWORD* minor) {
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExW(&info)) {
        *major = 0;
        *minor = 0;
        return;
    }
    *major = info.dwMajorVersion;
    *minor = info.dwMinorVersion;
}

std::atomic<WindowsVersionFn> g_version{&SystemVersion};

template <size_t N>
void ForceEnd(wchar_t (&field)[N]) {
    field[N - 1] = L'\0';
}

}  // namespace

uint32_t ShellMark(const wchar_t* shell, const wchar_t* mark) {
    DWORD major = 0;
    DWORD minor = 0;
    g_version.load()(&major, &minor);
    return HasShellMark(shell, mark, major, minor) ? 1 : 0;
}

void TerminateTexts(tagSoftInfoData& r) {
    ForceEnd(r.name);
    ForceEnd(r.textA);
    ForceEnd(r.logo);
    ForceEnd(r.textB);
    ForceEnd(r.vdisp);
    ForceEnd(r.ptime);
    ForceEnd(r.textC);
    ForceEnd(r.ratingText);
    ForceEnd(r.detailsText);
    ForceEnd(r.detailsShortText);
    ForceEnd(r.surl);
    ForceEnd(r.bname);
    ForceEnd(r.share);
    ForceEnd(r.durls);
    ForceEnd(r.dname);
    ForceEnd(r.args);
    ForceEnd(r.hint2);
    ForceEnd(r.pname);
    ForceEnd(r.os);
    ForceEnd(r.sizeText);
    ForceEnd(r.uurls);
    ForceEnd(r.urate);
    ForceEnd(r.eid);
    ForceEnd(r.shell);
}

bool HasShellMark(const wchar_t* shell, const wchar_t* mark, DWORD major, DWORD minor) {
    if (major >= 6 && minor >= 2) return false;
    if (!shell || !mark) return false;
    const wchar_t* dot = std::wcsrchr(shell, L'.');
    if (!dot) return false;
    const std::wstring stem(shell, dot);
    const size_t underscore = stem.rfind(L'_');
    if (underscore == std::wstring::npos) return false;
    return stem.find(mark, underscore + 1) != std::wstring::npos;
}

void SetWindowsVersionSeam(WindowsVersionFn fn) { g_version.store(fn ? fn : &SystemVersion); }

CSoftInfoData::CSoftInfoData() noexcept { std::memset(&record_, 0, sizeof(record_)); }

uint32_t BEX_CALL CSoftInfoData::GetClassId() noexcept { return kClassId; }
LONG BEX_CALL CSoftInfoData::AddRef() noexcept { return ::InterlockedIncrement(&count_); }
LONG BEX_CALL CSoftInfoData::Release() noexcept {
    return plugin::ReleaseByRuleA(count_, kClassId, [this] { Destroy(); });
}

LONG BEX_CALL CSoftInfoData::GetObject(void*) noexcept { return 0; }

const wchar_t* BEX_CALL CSoftInfoData::GetNamedText(const wchar_t* name) noexcept {
    if (!name) return nullptr;
    if (::lstrcmpiW(name, L"share") == 0) return record_.share;
    if (::lstrcmpiW(name, L"baikename") == 0) return record_.bname;
    return nullptr;
}

uint32_t BEX_CALL CSoftInfoData::IsFlagClear() noexcept { return record_.flagE == 0 ? 1 : 0; }
uint32_t BEX_CALL CSoftInfoData::GetSoftId() noexcept { return record_.softId; }
const wchar_t* BEX_CALL CSoftInfoData::GetName() noexcept { return record_.name; }
const wchar_t* BEX_CALL CSoftInfoData::GetTextA() noexcept { return record_.textA; }
const wchar_t* BEX_CALL CSoftInfoData::GetLogo() noexcept { return record_.logo; }
const wchar_t* BEX_CALL CSoftInfoData::GetTextB() noexcept { return record_.textB; }
const wchar_t* BEX_CALL CSoftInfoData::GetVdisp() noexcept { return record_.vdisp; }
const wchar_t* BEX_CALL CSoftInfoData::GetPtime() noexcept { return record_.ptime; }
const wchar_t* BEX_CALL CSoftInfoData::GetTextC() noexcept { return record_.textC; }
uint32_t BEX_CALL CSoftInfoData::GetValueD() noexcept { return record_.valueD; }
uint32_t BEX_CALL CSoftInfoData::GetRating() noexcept { return record_.rating <= 100 ? record_.rating : 0; }
const wchar_t* BEX_CALL CSoftInfoData::GetRatingText() noexcept { return record_.ratingText; }
const wchar_t* BEX_CALL CSoftInfoData::GetDetailsText() noexcept { return record_.detailsText; }
const wchar_t* BEX_CALL CSoftInfoData::GetDetailsShortText() noexcept { return record_.detailsShortText; }
const wchar_t* BEX_CALL CSoftInfoData::GetSurl() noexcept { return record_.surl; }
uint32_t BEX_CALL CSoftInfoData::IsOsMatched() noexcept { return record_.osMatches; }
uint32_t BEX_CALL CSoftInfoData::GetSize() noexcept { return record_.size; }
uint32_t BEX_CALL CSoftInfoData::IsFree() noexcept { return record_.isFree; }
uint32_t BEX_CALL CSoftInfoData::IsPlugin() noexcept { return record_.plugin; }
uint32_t BEX_CALL CSoftInfoData::IsStable() noexcept { return record_.stable; }
uint32_t BEX_CALL CSoftInfoData::IsLanguage() noexcept { return record_.language; }
uint32_t BEX_CALL CSoftInfoData::IsImportant() noexcept { return record_.important; }
const wchar_t* BEX_CALL CSoftInfoData::GetUrate() noexcept { return record_.urate; }
const wchar_t* BEX_CALL CSoftInfoData::GetEid() noexcept { return record_.eid; }
const wchar_t* BEX_CALL CSoftInfoData::GetDurls() noexcept { return record_.durls; }
const wchar_t* BEX_CALL CSoftInfoData::GetShell() noexcept { return record_.shell; }
uint32_t BEX_CALL CSoftInfoData::HasShellMarkS() {
    return base::CallGuarded(L"CSoftInfoData::HasShellMarkS", uint32_t{0},
                             [this] { return ShellMark(record_.shell, L"S"); });
}
uint32_t BEX_CALL CSoftInfoData::HasShellMarkP() {
    return base::CallGuarded(L"CSoftInfoData::HasShellMarkP", uint32_t{0},
                             [this] { return ShellMark(record_.shell, L"P"); });
}

void BEX_CALL CSoftInfoData::Destroy() noexcept { delete this; }

protocol::PluginRef<CSoftInfoData> NewSoftInfoData() noexcept { return plugin::NewPluginObject<CSoftInfoData>(); }

HRESULT BEX_CALL CreateSoftInfoData(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftInfoData>(out); }

}  // namespace catalog
