#include "plugins/setup/default_browser.h"

#include <windows.h>

#include <cwchar>

#include "plugins/common/kernel_calls.h"

namespace setup {

namespace k = protocol::kernel;
using protocol::PluginRef;

namespace {

constexpr DWORD kExpandedChars = 4096;

std::wstring ReadRegistry(k::Browser* browser, const std::wstring& path) {
    k::String* text = nullptr;
    const int found = protocol::Call(k::browser::kReadRegistry, browser, path.c_str(), 0, &text);
    return protocol::TextOf(protocol::Handed(found != 0, text));
}

bool AboveVersion5() {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&version)) return true;
#pragma GCC diagnostic pop
    return version.dwMajorVersion > 5;
}

std::wstring OpenCommand(k::Browser* browser, const std::wstring& progId) {
    std::wstring verb = ReadRegistry(browser, L"HKCR\\" + progId + L"\\shell\\");
    if (verb.empty() || verb.find(L'\\') != std::wstring::npos) verb = L"open";
    const std::wstring tail = progId + L"\\shell\\" + verb + L"\\command\\";
    std::wstring command = ReadRegistry(browser, L"HKCU\\Software\\Classes\\" + tail);
    if (command.empty()) command = ReadRegistry(browser, L"HKCR\\" + tail);
    if (command.empty()) return command;
    wchar_t expanded[kExpandedChars] = {};
    const DWORD length = ::ExpandEnvironmentStringsW(command.c_str(), expanded, kExpandedChars);
    if (length == 0 || length > kExpandedChars) return std::wstring();
    return expanded;
}

std::wstring ProgramOf(const std::wstring& command) {
    PluginRef<k::Lookup> lookup;
    if (FAILED(plugin::CreateKernelObject(lookup))) return std::wstring();
    k::lookup::Answer* answer = nullptr;
    uint32_t extra = 0;
    const int result = protocol::Call(k::lookup::kFind, lookup.Get(), command.c_str(), &answer, &extra);
    const PluginRef<k::lookup::Answer> found = protocol::Handed(result != 0, answer);
    if (!found || protocol::Call(k::lookup::kFoundValid, found.Get()) == 0) return std::wstring();
    const wchar_t* text = protocol::Call(k::lookup::kFoundText, found.Get());
    if (!text) return std::wstring();
    const size_t length = wcsnlen(text, MAX_PATH);
    return length < MAX_PATH ? std::wstring(text, length) : std::wstring();
}

}  // namespace

std::wstring GetDefaultBrowserPath() {
    PluginRef<k::Browser> browser;
    if (FAILED(plugin::CreateKernelObject(browser))) return std::wstring();
    std::wstring progId = L"http";
    if (AboveVersion5())
        progId = ReadRegistry(browser.Get(),
                              L"HKCU\\Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\"
                              L"UserChoice\\Progid");
    if (progId.empty()) return std::wstring();
    const std::wstring command = OpenCommand(browser.Get(), progId);
    return command.empty() ? command : ProgramOf(command);
}

std::wstring GetInternetExplorerPath() {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD bytes = MAX_PATH * sizeof(wchar_t);
    DWORD type = 0;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE",
                       nullptr, RRF_RT_REG_SZ, &type, path, &bytes) != ERROR_SUCCESS)
        return std::wstring();
    return path;
}

}  // namespace setup
