#include "tests/companion_nav/nav_test_support.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "companion/system/paths.h"
#include "companion/system/ui_package.h"

namespace navtest {

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return std::string();
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], bytes, nullptr, nullptr);
    out.resize(static_cast<size_t>(bytes - 1));
    return out;
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int chars = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (chars <= 1) return std::wstring();
    std::wstring out(static_cast<size_t>(chars), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], chars);
    out.resize(static_cast<size_t>(chars - 1));
    return out;
}

std::wstring ExeDir() {
    std::wstring dir;
    GetExeDir(dir);
    return dir;
}

std::wstring FreshFolder(const std::wstring& name) {
    const std::wstring folder = ExeDir() + L"nav-" + name + L"\\";
    WipeFolder(folder);
    CreateDirectoryTree((folder + L"x").c_str());
    return folder;
}

std::wstring SkinPackagePath() {
    wchar_t bin[MAX_PATH] = {};
    const DWORD len = ::GetEnvironmentVariableW(L"TEST_BIN_DIR", bin, MAX_PATH);
    if (len > 0 && len < MAX_PATH) return std::wstring(bin) + L"\\halvet.ui";
    // Run by hand: the programs' folder is a sibling of the tests' folder.
    return ParentDir(ExeDir()) + L"bin\\halvet.ui";
}

bool UnpackSkin(const std::wstring& folder) {
    return UnzipToDir(SkinPackagePath(), folder);
}

bool WriteFile(const std::wstring& path, const std::string& bytes) {
    FILE* f = ::_wfopen(path.c_str(), L"wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(Narrow(path).c_str(), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    std::ifstream in(Narrow(path).c_str());
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> WaitForLines(const std::wstring& path, size_t count, DWORD timeoutMs) {
    std::vector<std::string> lines;
    PumpUntil([&] { return (lines = ReadLines(path)).size() >= count; }, timeoutMs);
    return lines;
}

void Pump(DWORD ms) {
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(1);
    } while (::GetTickCount() - start < ms);
}

}  // namespace navtest
