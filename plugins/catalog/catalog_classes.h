// Tandrel's classes and their factories, one per row of the class table.
// Records follow release rule A, managers and wrappers rule B; wrappers hold
// the inner object the kernel gives them when they are made.
//
// No exception may unwind into the kernel's frames: every method these
// classes export by slot (and every thread they start) runs its body
// through base::CallGuarded, named after itself, which turns an exception
// into the slot's failure value and logs it once. A slot that only reads a
// field and cannot throw stays unguarded and is declared noexcept instead.
#pragma once

#include <windows.h>

#include "plugins/catalog/soft_info.h"
#include "plugins/catalog/soft_info_data.h"
#include "plugins/catalog/soft_list_data.h"
#include "plugins/catalog/soft_list_mgr.h"
#include "plugins/catalog/soft_list_mgr2.h"
#include "plugins/catalog/soft_recommend.h"
#include "plugins/common/plugin_object.h"
#include "base/handles.h"

namespace catalog {

using plugin::PluginObject;
using plugin::ReleaseRule;

HRESULT BEX_CALL CreateSoftReCmdData(IBexPlugin** out);
HRESULT BEX_CALL CreateSoftReCommend(IBexPlugin** out);
HRESULT BEX_CALL CreateSoftReCommend2(IBexPlugin** out);
HRESULT BEX_CALL CreateSoftReCommend3(IBexPlugin** out);

}  // namespace catalog
