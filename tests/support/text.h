// Text conversions for test messages and file contents.
#pragma once

#include <string>

namespace testsupport {

// UTF-16 to UTF-8 (or another code page).
std::string Narrow(const std::wstring& text, unsigned codePage = 65001 /* CP_UTF8 */);
std::wstring Widen(const std::string& text, unsigned codePage = 65001);

}  // namespace testsupport
