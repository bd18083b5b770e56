#include "plugins/catalog/soft_list_mgr2.h"

#include "base/exception_barrier.h"

namespace catalog {

ISoftListMgr* CSoftListMgr2::OwnInner() const { return CSoftListMgr::FromPlugin(inner_.Get()); }

// Each slot runs through the barrier, named after itself, and answers 0
// without the inner object it needs.
#define FORWARD(slot, call)                                         \
    return base::CallGuarded(L"CSoftListMgr2::" #slot, 0, [&] { return Inner() ? Inner()->call : 0; })
#define FORWARD_OWN(slot, call)                                     \
    return base::CallGuarded(L"CSoftListMgr2::" #slot, 0, [&] {     \
        ISoftListMgr* const own = OwnInner();                       \
        return own ? own->call : 0;                                 \
    })

LONG BEX_CALL CSoftListMgr2::Start() { FORWARD(Start, Start()); }
LONG BEX_CALL CSoftListMgr2::Stop() { FORWARD(Stop, Stop()); }
LONG BEX_CALL CSoftListMgr2::AddListener(HWND window, UINT message) {
    FORWARD(AddListener, AddListener(window, message));
}
LONG BEX_CALL CSoftListMgr2::RemoveListener(HWND window) { FORWARD(RemoveListener, RemoveListener(window)); }
LONG BEX_CALL CSoftListMgr2::GetCatalogCount(int kind) { FORWARD(GetCatalogCount, GetCatalogCount(kind)); }
LONG BEX_CALL CSoftListMgr2::RequestCatalog(int kind) { FORWARD(RequestCatalog, RequestCatalog(kind)); }
BOOL BEX_CALL CSoftListMgr2::GetCatalog(int kind, int index, IBexPlugin** out) {
    FORWARD(GetCatalog, GetCatalog(kind, index, out));
}
BOOL BEX_CALL CSoftListMgr2::GetListIds(int kind, const wchar_t* name, int page, IBexPlugin** out) {
    FORWARD(GetListIds, GetListIds(kind, name, page, out));
}
BOOL BEX_CALL CSoftListMgr2::GetListIdsAt(int kind, int index, int page, IBexPlugin** out) {
    FORWARD(GetListIdsAt, GetListIdsAt(kind, index, page, out));
}
LONG BEX_CALL CSoftListMgr2::RequestListByName(int kind, const wchar_t* name, int page) {
    FORWARD(RequestListByName, RequestListByName(kind, name, page));
}
LONG BEX_CALL CSoftListMgr2::RequestList(int kind, int index, int page) {
    FORWARD(RequestList, RequestList(kind, index, page));
}
BOOL BEX_CALL CSoftListMgr2::GetListItem(int kind, const wchar_t* name, uint32_t softId, IBexPlugin** out) {
    FORWARD(GetListItem, GetListItem(kind, name, softId, out));
}
BOOL BEX_CALL CSoftListMgr2::GetListItemAt(int kind, int index, uint32_t softId, IBexPlugin** out) {
    FORWARD(GetListItemAt, GetListItemAt(kind, index, softId, out));
}
BOOL BEX_CALL CSoftListMgr2::GetListTitle(int kind, const wchar_t* name, int page, IBexPlugin** out) {
    FORWARD(GetListTitle, GetListTitle(kind, name, page, out));
}
LONG BEX_CALL CSoftListMgr2::Search(int source, const wchar_t* keyword) { FORWARD(Search, Search(source, keyword)); }
BOOL BEX_CALL CSoftListMgr2::GetSearchIds(const wchar_t* keyword, IBexPlugin** out) {
    FORWARD(GetSearchIds, GetSearchIds(keyword, out));
}
BOOL BEX_CALL CSoftListMgr2::GetSearchIdsById(int searchId, IBexPlugin** out) {
    FORWARD(GetSearchIdsById, GetSearchIdsById(searchId, out));
}
BOOL BEX_CALL CSoftListMgr2::GetSearchItem(uint32_t softId, IBexPlugin** out) {
    FORWARD(GetSearchItem, GetSearchItem(softId, out));
}
const wchar_t* BEX_CALL CSoftListMgr2::GetSearchKeyword(int searchId) {
    const wchar_t* const none = L"";
    return base::CallGuarded(L"CSoftListMgr2::GetSearchKeyword", none,
                             [&] { return Inner() ? Inner()->GetSearchKeyword(searchId) : none; });
}
LONG BEX_CALL CSoftListMgr2::Reserved22(void* a, void* b, void* c) { FORWARD(Reserved22, Reserved22(a, b, c)); }

LONG BEX_CALL CSoftListMgr2::SearchByCoop(int source, const wchar_t* keyword, int start, int count) {
    FORWARD_OWN(SearchByCoop, SearchByCoop(source, keyword, start, count));
}
BOOL BEX_CALL CSoftListMgr2::GetCoopSearchIds(const wchar_t* keyword, int start, IBexPlugin** out) {
    FORWARD_OWN(GetCoopSearchIds, GetCoopSearchIds(keyword, start, out));
}
BOOL BEX_CALL CSoftListMgr2::GetCoopSearchIdsById(int searchId, IBexPlugin** out) {
    FORWARD_OWN(GetCoopSearchIdsById, GetCoopSearchIdsById(searchId, out));
}
LONG BEX_CALL CSoftListMgr2::GetSearchTotal(const wchar_t* keyword) {
    FORWARD_OWN(GetSearchTotal, GetSearchTotal(keyword));
}

#undef FORWARD_OWN
#undef FORWARD

HRESULT BEX_CALL CreateSoftListMgr2(IBexPlugin** out) { return plugin::CreatePluginObject<CSoftListMgr2>(out); }

}  // namespace catalog
