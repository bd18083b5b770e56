// Tandrel's classes and their factories, one per row of the class table.
// Records follow release rule A, managers and wrappers rule B; wrappers hold
// the inner object the kernel gives them when they are made.
#pragma once

#include <windows.h>

#include "plugins/catalog/soft_info.h"
#include "plugins/catalog/soft_info_data.h"
#include "plugins/catalog/soft_list_data.h"
#include "plugins/catalog/soft_list_mgr.h"
#include "plugins/common/plugin_object.h"
#include "winlib/handles.h"

namespace catalog {

using plugin::PluginObject;
using plugin::ReleaseRule;

class CSoftReCmdData final : public PluginObject<CSoftReCmdData, IBexPlugin, 302, ReleaseRule::A> {};

class CSoftReCommend final : public PluginObject<CSoftReCommend, IBexPlugin, 301, ReleaseRule::B> {};

class CSoftListMgr2 final : public PluginObject<CSoftListMgr2, IBexPlugin, 303, ReleaseRule::B> {
private:
    plugin::InnerObject<70> inner_;
};
class CSoftReCommend2 final : public PluginObject<CSoftReCommend2, IBexPlugin, 147, ReleaseRule::B> {
private:
    plugin::InnerObject<301> inner_;
};
class CSoftReCommend3 final : public PluginObject<CSoftReCommend3, IBexPlugin, 148, ReleaseRule::B> {
private:
    plugin::InnerObject<301> inner_;
};

HRESULT BEX_CALL CreateSoftListMgr2(IBexPlugin** out);
HRESULT BEX_CALL CreateSoftReCmdData(IBexPlugin** out);
HRESULT BEX_CALL CreateSoftReCommend(IBexPlugin** out);
HRESULT BEX_CALL CreateSoftReCommend2(IBexPlugin** out);
HRESULT BEX_CALL CreateSoftReCommend3(IBexPlugin** out);

}  // namespace catalog
