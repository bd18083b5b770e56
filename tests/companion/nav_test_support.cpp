#include "tests/companion/nav_test_support.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "companion/system/paths.h"
#include "companion/system/ui_package.h"

using namespace companion;

namespace navtest {

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

}  // namespace navtest
