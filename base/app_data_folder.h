// The current user's application-data folder, where both programs keep
// Corvalle.ini and the companion its unpacked skin and actions. Every lookup
// of that folder goes through here, so that a test program can point the
// whole process at a folder of its own (and run beside other tests) without
// the code under test knowing.
#pragma once

#include <string>

namespace base {

// What to use when the shell does not know the folder. Corvalle expands
// "%appdata%" (an unset variable, which comes back unexpanded, is no folder);
// Mirelo reads the variable AppData as it is.
enum class AppDataFallback {
    kExpandedVariable,
    kVariableValue,
};

// SHGetFolderPathW(CSIDL_APPDATA | CSIDL_FLAG_CREATE) (its first answer is
// kept for the rest of the run), or the fallback when
// that fails or is empty; empty when neither gives a folder. The folder is
// returned as found: it may or may not end in '\'. While an override is set,
// that folder is returned instead and neither is consulted.
std::wstring AppDataFolder(AppDataFallback fallback);

// Only a test's main sets this, before anything reads the folder; the
// programs never do. An empty folder clears it.
void SetAppDataFolderOverride(const std::wstring& folder);

}  // namespace base
