// The setup utility's registrations: the manager's in-process servers, the
// "pellorandzub" URL protocol, the old uninstall verb of links and the rule
// for the links' context-menu handler. Shared by the after-install job, the
// options daemon and the uninstall clean-up.
#pragma once

#include "protocol/bex_kernel.h"

namespace setup {

// Manager folder + "PellorExt.dll": DllRegisterServer (true) or
// DllUnregisterServer (false). True when the entry succeeded; false without
// a manager folder, a library or its entry.
bool RegisterContextMenuHandler(bool doRegister);
// The same for "PellorWebProxy.dll".
bool RegisterWebProxyDll(bool doRegister);

// HKCR "pellorandzub" as a URL protocol started by `programPath`. Stops at
// the first failing write; true only when all four writes succeeded.
bool RegisterUrlProtocol(const wchar_t* programPath);
bool RegisterProxyProtocol();

// Removes the links' old "强力卸载此软件" verb.
void DeleteOldUninstallVerb();

// "Options\ShowLnkFileRightMenuItem": unreadable: the handler is registered
// and the option written as 1; 1 without the handler's key: registered
// again; anything else is left alone.
void ApplyContextMenuOption(protocol::kernel::Options* options);

}  // namespace setup
