// The kernel services the setup jobs ask: typed callers that turn a missing
// class, a failing slot or a broken answer into "nothing".
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "protocol/plugin_ref.h"

// 40 slot 4: the manager's folder with its trailing backslash; empty when
// the kernel gives none.
std::wstring KernelManagerFolder();

// 47 slot 3: a number of the options store, 0 when it can't be read;
// nullopt when there is no options store.
std::optional<DWORD> KernelOptionNumber(const wchar_t* key);

// 10 slot 6 with query 16: the 16-bit system code, 0 without a system
// object. `system` keeps the object for the caller.
WORD KernelSystemCode(bex::PluginRef<>& system);

// 23 slot 5: a link's target path; empty when it can't be resolved.
std::wstring KernelShortcutTarget(const wchar_t* linkPath);
