#include "plugins/catalog/soft_list_mgr2.h"

namespace catalog {

ISoftListMgr* CSoftListMgr2::OwnInner() const { return CSoftListMgr::FromPlugin(inner_.Get()); }

#define FORWARD(call) return Inner() ? Inner()->call : 0

LONG BEX_CALL CSoftListMgr2::Start() { FORWARD(Start()); }
LONG BEX_CALL CSoftListMgr2::Stop() { FORWARD(Stop()); }
LONG BEX_CALL CSoftListMgr2::AddListener(HWND window, UINT message) { FORWARD(AddListener(window, message)); }
LONG BEX_CALL CSoftListMgr2::RemoveListener(HWND window) { FORWARD(RemoveListener(window)); }
LONG BEX_CALL CSoftListMgr2::GetCatalogCount(int kind) { FORWARD(GetCatalogCount(kind)); }
LONG BEX_CALL CSoftListMgr2::RequestCatalog(int kind) { FORWARD(RequestCatalog(kind)); }
BOOL BEX_CALL CSoftListMgr2::GetCatalog(int kind, int index, IBexPlugin** out) {
    FORWARD(GetCatalog(kind, index, out));
}
BOOL BEX_CALL CSoftListMgr2::GetListIds(int kind, const wchar_t* name, int page, IBexPlugin** out) {
    FORWARD(GetListIds(kind, name, page, out));
}
BOOL BEX_CALL CSoftListMgr2::GetListIdsAt(int kind, int index, int page, IBexPlugin** out) {
    FORWARD(GetListIdsAt(kind, index, page, out));
}
LONG BEX_CALL CSoftListMgr2::RequestListByName(int kind, const wchar_t* name, int page) {
    FORWARD(RequestListByName(kind, name, page));
}
LONG BEX_CALL CSoftListMgr2::RequestList(int kind, int index, int page) { FORWARD(RequestList(kind, index, page)); }
BOOL BEX_CALL CSoftListMgr2::GetListItem(int kind, const wchar_t* name, uint32_t softId, IBexPlugin** out) {
    FORWARD(GetListItem(kind, name, softId, out));
}
BOOL BEX_CALL CSoftListMgr2::GetListItemAt(int kind, int index, uint32_t softId, IBexPlugin** out) {
    FORWARD(GetListItemAt(kind, index, softId, out));
}
BOOL BEX_CALL CSoftListMgr2::GetListTitle(int kind, const wchar_t* name, int page, IBexPlugin** out) {
    FORWARD(GetListTitle(kind, name, page, out));
}
LONG BEX_CALL CSoftListMgr2::Search(int source, const wchar_t* keyword) { FORWARD(Search(source, keyword)); }
BOOL BEX_CALL CSoftListMgr2::GetSearchIds(const wchar_t* keyword, IBexPlugin** out) {
    FORWARD(GetSearchIds(keyword, out));
}
BOOL BEX_CALL CSoftListMgr2::GetSearchIdsById(int searchId, IBexPlugin** out) {
    FORWARD(GetSearchIdsById(searchId, out));
}
BOOL BEX_CALL CSoftListMgr2::GetSearchItem(uint32_t softId, IBexPlugin** out) { FORWARD(GetSearchItem(softId, out)); }
const wchar_t* BEX_CALL CSoftListMgr2::GetSearchKeyword(int searchId) {
    return Inner() ? Inner()->GetSearchKeyword(searchId) : L"";
}
LONG BEX_CALL CSoftListMgr2::Reserved22(void* a, void* b, void* c) { FORWARD(Reserved22(a, b, c)); }

#undef FORWARD
#define FORWARD_OWN(call) return OwnInner() ? OwnInner()->call : 0

LONG BEX_CALL CSoftListMgr2::SearchByCoop(int source, const wchar_t* keyword, int start, int count) {
    FORWARD_OWN(SearchByCoop(source, keyword, start, count));
}
BOOL BEX_CALL CSoftListMgr2::GetCoopSearchIds(const wchar_t* keyword, int start, IBexPlugin** out) {
    FORWARD_OWN(GetCoopSearchIds(keyword, start, out));
}
BOOL BEX_CALL CSoftListMgr2::GetCoopSearchIdsById(int searchId, IBexPlugin** out) {
    FORWARD_OWN(GetCoopSearchIdsById(searchId, out));
}
LONG BEX_CALL CSoftListMgr2::GetSearchTotal(const wchar_t* keyword) { FORWARD_OWN(GetSearchTotal(keyword)); }

#undef FORWARD_OWN

HRESULT BEX_CALL CreateSoftListMgr2(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftListMgr2>(out); }

}  // namespace catalog
