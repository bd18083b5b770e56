// bexhost's search, wrapper and recommendation scenarios:
//   search SRC KEYWORD      the list manager (70): Search, its events until
//                           3, then the ids and the stored keyword
//   coop KEYWORD START COUNT
//                           SearchByCoop (source 1): its events until 3,
//                           the ids and the keyword's total
//   wrap70                  the wrapper (303): Start, a Search through it,
//                           its keyword, Stop
//   recommend OWNED EXCLUDED [once|list|first]
//                           the recommendations (148 over 301): ids as
//                           "1,2" or "-"; one request, its status and the
//                           record's slots (for a list, each record's)
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "protocol/bex_plugin.h"

bool IsSearchScenario(const std::wstring& name);
// The number of failures.
int RunSearchScenario(protocol::BexPluginFn bex, HWND window, const std::vector<std::wstring>& args);
