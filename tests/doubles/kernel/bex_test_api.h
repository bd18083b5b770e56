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
//   [software] present=<id>|<id>...  (class 49) the ids slot 13 reports present
//   [items]    texts=<text>|<text>...  (class 307) the entries' texts;
//              emptyUntilRefresh=1     the count is 0 until slot 3 ran
//   [entries]  paths=<path>|<path>...  (class 402) the executable paths
//   [system]   code=<n>                (class 10) the system code (default 10)
//   [shortcut] fail=1                  (class 23) slot 5 resolves nothing
//   [environment] managerFolder=<path\> (class 40) the manager's folder
//   [options]  <key>=<text>            (class 47) the options store: digits are
//                                      a number, other texts a string; slots
//                                      4 and 6 write here
//   [options-store] watch=fail         (class 47) slot 8 refuses
//   [downloads] folder=<path>          (class 96) slot 16 (default C:\Downloads\)
//   [software] count=<n>               (class 49) slot 7's count
//   [codec]    decode=fail|small, save=fail   (class 26)
//   [notice]   bytes=<n> (slot 9's buffer size), begin=0, start=0   (class 101)
//   With BEXTEST_SLOW set to "<ms> <text>", a call that logs a line starting
//   with <text> sleeps <ms> after logging it, with no lock of the kernel held.
//   With BEXTEST_HTTP set the body comes from a real GET (WinINet) instead
//   of a file, and class 51's requests are sent as a GET too.
//   [system], [environment], [details]: see catalog_services.cpp; the value
//   store (class 94) keeps its values in the file named by BEXTEST_STORE,
//   see value_store.cpp; numbered values (class 107) in <BEXTEST_STORE>.ini,
//   see recommend_services.cpp. [bitness], [query]: see
//   softlist_services.cpp.
//   [kernel]   init=<n>         the answer to -1 (default 0)
//              debugger=record  -5 hands out a logging debugger
//   [startup]  (class 78) see corvalle_services.cpp
//
// Log lines (file named by BEXTEST_LOG, one UTF-8 line each):
//   attach | detach
//   load <path> 0x<hr>              BexTest_LoadPlugin
//   create <id> 0x<hr>              every creation, service or plug-in class
//   -3 <id> | -4 <id>               notices of plug-in objects
//   fetch <url>                     class 41 slot 6
//   406.6                           class 406 slot 6
//   init | shutdown                 codes -1 and -2
//   49.3 | 49.21 | 49.13 <id> <n>   class 49 slots (13: the id asked, its second argument)
//   307.3                           class 307 slot 3 (refresh)
//   system.6, env.<slot>, details.start, details.find   catalog_services.cpp
//   store.set, store.get                                value_store.cpp
//   live <n>                        after shutdown: service objects alive
//   23.5 <path> | 47.3 <key>        classes 23 and 47
//   47.4 <key> <n> | 47.5 <key> | 47.6 <key> <text> | 47.7
//   47.8 <key> <cookie> | 47.8 <key> refused | 47.9 <cookie>
//   51.5 <the request's final text> | 96.16
//   set <key> <value>               BexTest_SetOption
//   49.4 | 49.7                     class 49's count query
//   26.3 <w>x<h>|null | 26.4 <w>x<h> <path>   class 26
//   93.6 <path> | 93.7 <count> <w>x<h>|null... <path>   class 93 (slot 7
//                                   saves the images as <path>.93-<i>.png)
//   101.3 | 101.5 <message> | 101.8 <n> | 101.9 <bytes> | 101.4   class 101
//   bit81.3, soft99.31              softlist_services.cpp
//   num.get, num.set, num.clear, file.read   recommend_services.cpp
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

constexpr char kSetOptionName[] = "BexTest_SetOption";
// Changes an option of class 47's store and runs its watch callbacks on a
// thread of the stand-in's own; returns how many ran.
using SetOptionFn = int(__stdcall*)(const wchar_t* key, const wchar_t* value);
constexpr char kPostNoticeName[] = "BexTest_PostNotice";
// Posts the notice's data-ready message (2026, 17) to the window that class
// 101 slot 5 registered last; 0 when none is registered.
using PostNoticeFn = int(__stdcall*)();

}  // namespace bextest
