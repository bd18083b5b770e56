#include "plugins/catalog/catalog_classes.h"

namespace catalog {

CSoftListMgr::CSoftListMgr() noexcept : wake_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

void CSoftListMgr::OnLastClientGone() noexcept {
    if (wake_) ::SetEvent(wake_.Get());
}

HRESULT BEX_CALL CreateSoftListData(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftListData>(out); }
HRESULT BEX_CALL CreateSoftCatalogData(IBexPlugin** out) {
    return plugin::CreatePluginObject<CSoftCatalogData>(out);
}
HRESULT BEX_CALL CreateSoftListMgr(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftListMgr>(out); }
HRESULT BEX_CALL CreateSoftListMgr2(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftListMgr2>(out); }
HRESULT BEX_CALL CreateSoftReCmdData(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftReCmdData>(out); }
HRESULT BEX_CALL CreateSoftReCommend(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftReCommend>(out); }
HRESULT BEX_CALL CreateSoftReCommend2(IBexPlugin** out) {
    return plugin::CreatePluginObject<CSoftReCommend2>(out);
}
HRESULT BEX_CALL CreateSoftReCommend3(IBexPlugin** out) {
    return plugin::CreatePluginObject<CSoftReCommend3>(out);
}

}  // namespace catalog
