// The stand-in kernel's control entries, for tests and the host tool (both
// reach them through GetProcAddress, like BexPlugin). All __stdcall,
// undecorated.
//
// Configuration: the ini file named by BEXTEST_CONFIG, read at each use, so
// a test may rewrite it between steps. Keys:
//   [classes]  <class id>=serve | refuse | null | foreign
//       serve (default; class 406 alone defaults to refuse): make the object;
//       refuse: E_FAIL and a null object; null: S_OK and a null object;
//       foreign: a hand-made object whose
//       slot 0 answers the id and whose other slots (past 2) log
//       UNEXPECTED and end the process.
//   [fetch]    (class 41)
//       fixtures=<folder>  URL path to file (leading '/' dropped, the query
//                          cut off), served as code page 936;
//       raw=1              the file's bytes as they are;
//       mode=complete      (default) completed before slot 6 returns
//            | later       completed from a thread after delay=<ms>
//            | never       started, never completed
//            | nostart     slot 6 returns 0
//       status=<n>         the completion status (default 1)
//       reply=buffer (default) | string (a class-3 reply) | empty (a
//            buffer of size 0) | nulldata (data null, size stated)
//   With BEXTEST_HTTP set the body comes from a real GET (WinINet) instead
//   of a file.
//   [system], [environment], [details]: see catalog_services.cpp; the value
//   store (class 94) keeps its values in the file named by BEXTEST_STORE,
//   see value_store.cpp. [software], [bitness], [query]: see
//   softlist_services.cpp.
//
// Log lines (file named by BEXTEST_LOG, one UTF-8 line each):
//   attach | detach
//   load <path> 0x<hr>              BexTest_LoadPlugin
//   create <id> 0x<hr>              every creation, service or plug-in class
//   -3 <id> | -4 <id>               notices of plug-in objects
//   fetch <url>                     class 41 slot 6
//   406.6                           class 406 slot 6
//   init | shutdown                 codes -1 and -2
//   system.6, env.<slot>, details.start, details.find   catalog_services.cpp
//   store.set, store.get                                value_store.cpp
//   soft49.<slot>, bit81.3, soft99.31                   softlist_services.cpp
//   UNEXPECTED class <id> slot <n>  then the process ends with code 86
#pragma once

#include <windows.h>

namespace bextest {

constexpr UINT kUnexpectedExitCode = 86;

constexpr char kLoadPluginName[] = "BexTest_LoadPlugin";
// Loads a plug-in by absolute path and reads its table. S_OK when the
// table was read.
using LoadPluginFn = HRESULT(__stdcall*)(const wchar_t* path);

constexpr char kShutdownName[] = "BexTest_Shutdown";
// The final release of every shared plug-in object, newest first; returns
// how many were released.
using ShutdownFn = int(__stdcall*)();

constexpr char kReportName[] = "BexTest_Report";
// The number of imbalances since the last report (per plug-in class: -3
// notices other than -4 notices; service objects still alive), with a text
// naming them in `buffer`; resets the counters.
using ReportFn = int(__stdcall*)(wchar_t* buffer, int capacity);

}  // namespace bextest
