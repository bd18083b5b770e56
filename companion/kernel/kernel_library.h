// Corvalle's own binding of the kernel library, bexkernl.dll: loaded for one
// check and freed at its end. Apart from the plug-ins' binding: Corvalle
// looks in one place only (beside the registered security product) and
// initialises and shuts the kernel down itself.
#pragma once

#include <windows.h>

#include <string>

#include "protocol/bex_plugin.h"

namespace companion {

// The kernel beside the registered security product
// (protocol::KernelBesideSecurityProduct); false, with `path` empty, when
// there is none.
bool KernelPathFromAppPaths(std::wstring& path);

// Loads the kernel at `path` (an absolute path only: a relative one could be
// resolved through the search path to another library) and binds its entry;
// the kernel's answer to its initialisation, or E_FAIL when nothing could be
// bound. While bound, a second call only initialises again.
HRESULT InitKernel(const std::wstring& path);
// The same for the registered place.
HRESULT InitKernel();
// Shuts a bound kernel down and frees it; the entry is then gone, so nothing
// can call into the unloaded library.
void ShutdownKernel();
// The bound entry, or null.
protocol::BexPluginFn KernelEntry();

}  // namespace companion
