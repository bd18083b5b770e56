// This process's debug output, as a debugger would see it: the lines the
// programs' log writes, for a test to read back. One capture at a time.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

class DebugOutputCapture {
public:
    DebugOutputCapture();
    ~DebugOutputCapture();
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    // Every line written since the capture began, in the ANSI code page,
    // each with its line break.
    std::vector<std::string> Lines() const;

private:
    void* handler_;
};

}  // namespace testsupport
