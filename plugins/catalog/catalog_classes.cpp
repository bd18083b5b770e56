#include "plugins/catalog/catalog_classes.h"

namespace catalog {

HRESULT BEX_CALL CreateSoftReCmdData(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftReCmdData>(out); }
HRESULT BEX_CALL CreateSoftReCommend(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftReCommend>(out); }
HRESULT BEX_CALL CreateSoftReCommend2(IBexPlugin** out) {
    return plugin::CreatePluginObject<CSoftReCommend2>(out);
}
HRESULT BEX_CALL CreateSoftReCommend3(IBexPlugin** out) {
    return plugin::CreatePluginObject<CSoftReCommend3>(out);
}

}  // namespace catalog
