// The plug-ins the stand-in loaded: class id to factory, and the one shared
// object of each class whose flags ask for it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "protocol/bex_plugin.h"

namespace standin {

HRESULT LoadPlugin(const wchar_t* path);
// S_FALSE when the class is no plug-in class; otherwise the creation's result.
HRESULT CreatePluginObject(uint32_t classId, IBexPlugin** out);
int ReleaseSharedObjects();

}  // namespace standin
