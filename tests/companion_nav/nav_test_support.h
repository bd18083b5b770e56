// Shared pieces of the navigation tests: folders of their own beside the
// test program, the shipped skin package unpacked into one, the recording
// stand-ins installed as the real programs would be, and file helpers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace navtest {

std::string Narrow(const std::wstring& text);
std::wstring Widen(const std::string& text);

// Folder of the test program, ending in '\'.
std::wstring ExeDir();
// A fresh, empty folder "<exe dir>nav-<name>\" (ending in '\').
std::wstring FreshFolder(const std::wstring& name);

// The built skin package "halvet.ui".
std::wstring SkinPackagePath();
// Unpacks the skin package into `folder`; its skin files land in
// "<folder>halvet\".
bool UnpackSkin(const std::wstring& folder);

bool WriteFile(const std::wstring& path, const std::string& bytes);
std::string ReadFile(const std::wstring& path);
std::vector<std::string> ReadLines(const std::wstring& path);
// Waits (pumping messages) until `path` holds at least `count` lines.
std::vector<std::string> WaitForLines(const std::wstring& path, size_t count, DWORD timeoutMs = 10000);

// Runs the message loop for `ms` milliseconds.
void Pump(DWORD ms);
// Pumps until `done` or the time is up; returns `done()`.
template <typename F>
bool PumpUntil(F done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > timeoutMs) return false;
        Pump(5);
    }
    return true;
}

}  // namespace navtest
