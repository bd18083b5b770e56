// The folder a test program runs in: its own, fresh at every run.
#pragma once

#include <string>

namespace testsupport {

// TEST_WORK_DIR (the start folder ctest gives the program), else the
// current folder; with a trailing backslash.
std::wstring WorkDir();

}  // namespace testsupport
