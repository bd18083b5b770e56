// bexhost's list manager scenarios (class 70 through the kernel):
//   catalog KIND            asks the catalogue, waits for its event, prints
//                           every entry
//   list KIND NAME PAGE     the catalogue (cached or asked), then the list
//                           page of the named entry: its ids and title
//   item KIND INDEX ID      the catalogue, then one record by entry index,
//                           every getter by slot number
// Each ends with Stop (the cache is saved). Events are printed as they
// arrive, in bexhost's format; texts in UTF-8.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "protocol/bex_plugin.h"

// The number of failures.
int RunSoftListScenario(bex::BexPluginFn bex, HWND window, const std::vector<std::wstring>& args);
