// How a plug-in library finds and binds the kernel library. The host
// callback (the kernel's BexPlugin) and the kernel's module handle are
// process-wide state of each plug-in library: set once by LoadKernelDll,
// never cleared; the kernel library is never freed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "protocol/bex_plugin.h"

namespace plugin {

// Null until bound.
protocol::BexPluginFn HostCallback();

// Binds the kernel once; S_OK when bound (now or before), E_FAIL otherwise.
// Runs under the loader lock at attach: takes no lock of its own.
HRESULT LoadKernelDll();

// The first existing candidate, else empty. The base folder is the
// executable's, never the plug-in's own:
//   base\bexkernl.dll, base\..\bexkernl.dll,
//   the one beside the security product (protocol::KernelBesideSecurityProduct),
//   base\..\Pellor\bexkernl.dll, base\Pellor\bexkernl.dll.
std::wstring LocateKernelDll();

// The body of every plug-in's DllMain: binds at attach, TRUE for every reason,
// nothing at detach.
BOOL HandleDllMain(HINSTANCE module, DWORD reason, void* reserved);

// BexPlugin(code, arg), or E_FAIL when the callback is unbound.
HRESULT CallHost(int code, void* arg);
// The -3 / -4 notices; skipped when unbound.
void NotifyCreated(uint32_t classId);
void NotifyDestroyed(uint32_t classId);

}  // namespace plugin
