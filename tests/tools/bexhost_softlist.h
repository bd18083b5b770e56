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

// The message the list manager's scenarios listen with.
constexpr UINT kListMessage = WM_USER + 70;

// A text in UTF-8; "(null)" for none.
std::string Utf8(const wchar_t* text);

// Prints the events until one with `code` arrives (then, with `settleMs`,
// the ones that follow within that quiet time) or `timeoutMs` passes.
bool WaitForCode(HWND window, int code, DWORD timeoutMs, DWORD settleMs = 300);

// The number of failures.
int RunSoftListScenario(protocol::BexPluginFn bex, HWND window, const std::vector<std::wstring>& args);
