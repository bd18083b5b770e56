// A function of a library loaded at run time, typed at the one place it is
// looked up.
#pragma once

#include <windows.h>

namespace base {

// The export `name` of `module` as a `Fn` (a function pointer type, or a
// pointer to an exported object such as a plug-in's class table), or null
// when the module is null or lacks it.
template <typename Fn>
Fn Export(HMODULE module, const char* name) {
    if (!module) return nullptr;
    // FARPROC is one function pointer type among others: the cast through
    // void* is the system's own way to a function of the right type.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace base
