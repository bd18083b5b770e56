#include "tests/support/debug_output.h"

#include <windows.h>

#include <cstring>
#include <mutex>

namespace testsupport {

namespace {

std::mutex g_lock;
std::vector<std::string> g_lines;

// The system raises each debug line as an exception that a vectored handler
// sees first.
LONG CALLBACK Capture(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* r = info->ExceptionRecord;
    if (r->ExceptionCode != DBG_PRINTEXCEPTION_C || r->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
    // The length counts the terminator.
    const auto* text = reinterpret_cast<const char*>(r->ExceptionInformation[1]);
    const std::lock_guard<std::mutex> hold(g_lock);
    g_lines.emplace_back(text, ::strnlen(text, static_cast<size_t>(r->ExceptionInformation[0])));
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

DebugOutputCapture::DebugOutputCapture() {
    {
        const std::lock_guard<std::mutex> hold(g_lock);
        g_lines.clear();
    }
    handler_ = ::AddVectoredExceptionHandler(1, Capture);
}

DebugOutputCapture::~DebugOutputCapture() {
    if (handler_) ::RemoveVectoredExceptionHandler(handler_);
}

std::vector<std::string> DebugOutputCapture::Lines() const {
    const std::lock_guard<std::mutex> hold(g_lock);
    return g_lines;
}

}  // namespace testsupport
