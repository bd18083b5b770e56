// The plug-in's diagnostic log: switched on per host program by
// "xLogConfig.ini" beside it (section = the program's file name, keys "log"
// and "filter"), writing "[tag] message\r\n" as UTF-16LE to
// %APPDATA%\Tarvisk\ZubPellor\Logs\<program>.log and/or to the debugger.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

#include "base/handles.h"

namespace setup {

class CxLogger {
public:
    static constexpr size_t kFilterChars = 260;
    static constexpr size_t kMessageChars = 4095;

    // Reads the settings of the program this process runs.
    CxLogger();
    // Reads the settings as if `hostExePath` were the program.
    explicit CxLogger(const std::wstring& hostExePath);
    CxLogger(const CxLogger&) = delete;
    CxLogger& operator=(const CxLogger&) = delete;

    void Log(const wchar_t* tag, const wchar_t* format, ...);
    void LogV(const wchar_t* tag, const wchar_t* format, va_list args);

    bool ToFile() const { return toFile_ != 0; }
    bool ToDebugger() const { return toDebugger_ != 0; }

private:
    void ReadSettings(const std::wstring& hostExePath);
    // The folder and the file are made at the first line, not at load: the
    // shell calls must not run under the loader lock.
    void OpenFileOnce();
    static BOOL CALLBACK OpenFileCallback(PINIT_ONCE, PVOID self, PVOID*);
    // false: no file to write to.
    bool OpenFile();

    volatile LONG toFile_ = 0;
    LONG toDebugger_ = 0;
    base::FileHandle file_;
    base::Mutex writeLock_;
    wchar_t filter_[kFilterChars + 1] = {};
    std::wstring programName_;
    INIT_ONCE openOnce_ = INIT_ONCE_STATIC_INIT;
};

// The one logger of the process, built by static initialisation.
CxLogger& Logger();

// The tag of a step that failed and what it left undone.
constexpr wchar_t kFailureTag[] = L"FAIL";

// A failed system call with its cause, through the logger:
// "[FAIL] <where>: <call> failed: <code> <the system's text>", the code
// taken from GetLastError (or given: registry and COM calls return theirs);
// and to the debug output through base's log when the logger does not write
// there. GetLastError is left as it was.
void LogFailure(const wchar_t* where, const wchar_t* call);
void LogFailure(const wchar_t* where, const wchar_t* call, DWORD code);
// A failed step no system call names: "[FAIL] <where>: <what>", to the same
// places.
void LogFailureLine(const wchar_t* where, const std::wstring& what);

}  // namespace setup
