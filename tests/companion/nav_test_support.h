// Shared pieces of the navigation tests: folders of their own beside the
// test program, the shipped skin package unpacked into one, the recording
// stand-ins installed as the real programs would be, and file helpers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/message_pump.h"
#include "tests/support/text.h"

namespace navtest {

using testsupport::Narrow;
using testsupport::Widen;

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

using testsupport::Pump;
using testsupport::PumpUntil;

}  // namespace navtest
