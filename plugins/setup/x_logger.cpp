#include "plugins/setup/x_logger.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cwchar>
#include <vector>

#include "base/exception_barrier.h"
#include "base/log.h"
#include "base/module_path.h"
#include "base/text.h"

namespace setup {

namespace {

std::wstring ExePath() {
    return base::ModuleFilePath(nullptr, base::kLongPathCapacity);
}

}  // namespace

CxLogger::CxLogger() { ReadSettings(ExePath()); }

CxLogger::CxLogger(const std::wstring& hostExePath) { ReadSettings(hostExePath); }

void CxLogger::ReadSettings(const std::wstring& hostExePath) {
    if (hostExePath.empty()) return;
    const size_t slash = hostExePath.rfind(L'\\');
    programName_ = slash == std::wstring::npos ? hostExePath : hostExePath.substr(slash + 1);
    const std::wstring ini =
        (slash == std::wstring::npos ? std::wstring() : hostExePath.substr(0, slash + 1)) + L"xLogConfig.ini";
    const UINT log = ::GetPrivateProfileIntW(programName_.c_str(), L"log", 0, ini.c_str());
    ::GetPrivateProfileStringW(programName_.c_str(), L"filter", L"", filter_, kFilterChars + 1, ini.c_str());
    filter_[kFilterChars] = L'\0';
    toFile_ = (log & 2) ? 1 : 0;
    toDebugger_ = (log & 1) ? 1 : 0;
}

BOOL CALLBACK CxLogger::OpenFileCallback(PINIT_ONCE, PVOID param, PVOID*) {
    CxLogger* self = static_cast<CxLogger*>(param);
    // Done either way: a file that can't be opened is not asked for again.
    if (!base::CallGuarded(L"CxLogger::OpenFileCallback", false, [self] { return self->OpenFile(); }))
        ::InterlockedExchange(&self->toFile_, 0);
    return TRUE;
}

bool CxLogger::OpenFile() {
    wchar_t appData[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, FALSE)) return false;
    const std::wstring folder = std::wstring(appData) + L"\\Tarvisk\\ZubPellor\\Logs";
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\" + programName_ + L".log";
    // Append-only access: every line lands at the end, also when another
    // process of the same program writes to the file.
    file_.Reset(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) return false;
    // Wine does not append atomically (two handles overwrite each other's
    // lines): one named lock per log file keeps every line whole across
    // threads and processes.
    const std::wstring program = base::LowerCase(programName_);
    writeLock_.Reset(::CreateMutexW(nullptr, FALSE, (L"Local\\TarviskXLog_" + program).c_str()));
    return true;
}

void CxLogger::OpenFileOnce() { ::InitOnceExecuteOnce(&openOnce_, &CxLogger::OpenFileCallback, this, nullptr); }

void CxLogger::Log(const wchar_t* tag, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    LogV(tag, format, args);
    va_end(args);
}

void CxLogger::LogV(const wchar_t* tag, const wchar_t* format, va_list args) {
    if (!toFile_ && !toDebugger_) return;
    if (filter_[0] != L'\0' && (!tag || !::wcsstr(filter_, tag))) return;
    if (!format) return;

    std::vector<wchar_t> message(kMessageChars + 1, L'\0');
    // A longer message (or a formatting error) keeps what fits.
    _vsnwprintf(message.data(), kMessageChars, format, args);
    message[kMessageChars] = L'\0';

    std::wstring line;
    line.reserve((tag ? ::wcslen(tag) : 0) + kMessageChars + 5);
    line += L'[';
    if (tag) line += tag;
    line += L"] ";
    line += message.data();
    line += L"\r\n";

    if (toDebugger_) ::OutputDebugStringW(line.c_str());
    if (toFile_) {
        OpenFileOnce();
        if (file_) {
            const bool locked = writeLock_ && ::WaitForSingleObject(writeLock_.Get(), 5000) != WAIT_TIMEOUT;
            DWORD written = 0;
            ::WriteFile(file_.Get(), line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written,
                        nullptr);
            if (locked) ::ReleaseMutex(writeLock_.Get());
        }
    }
}

namespace {
CxLogger g_logger;
}  // namespace

CxLogger& Logger() { return g_logger; }

void LogFailure(const wchar_t* where, const wchar_t* call) { LogFailure(where, call, ::GetLastError()); }

void LogFailure(const wchar_t* where, const wchar_t* call, DWORD code) {
    const DWORD before = ::GetLastError();
    // A failure leaves a trace in the debug output, as every program's does,
    // also when the plug-in's own log is off or writes only to its file.
    if (!Logger().ToDebugger()) base::LogFailedCall(where, call, code);
    Logger().Log(kFailureTag, L"%ls: %ls failed: %ls %ls", where ? where : L"?", call ? call : L"?",
                 base::ErrorCodeText(code).c_str(), base::SystemErrorText(code).c_str());
    ::SetLastError(before);
}

void LogFailureLine(const wchar_t* where, const std::wstring& what) {
    if (!Logger().ToDebugger()) base::LogLine(where ? where : L"?", what);
    Logger().Log(kFailureTag, L"%ls: %ls", where ? where : L"?", what.c_str());
}

}  // namespace setup
