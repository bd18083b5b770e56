// The list manager's wrapper (class 303, rule B): every slot of the inner
// class-70 object, forwarded with the same arguments. The search slots 23
// to 26 are asked only of this library's own manager.
#pragma once

#include "plugins/catalog/soft_list_mgr.h"
#include "plugins/common/kernel_calls.h"
#include "plugins/common/plugin_object.h"
#include "protocol/plugin_ref.h"

namespace catalog {

class CSoftListMgr2 final : public plugin::PluginObject<CSoftListMgr2, ISoftListMgr, 303, plugin::ReleaseRule::B> {
public:
    LONG BEX_CALL Start() override;
    LONG BEX_CALL Stop() override;
    LONG BEX_CALL AddListener(HWND window, UINT message) override;
    LONG BEX_CALL RemoveListener(HWND window) override;
    LONG BEX_CALL GetCatalogCount(int kind) override;
    LONG BEX_CALL RequestCatalog(int kind) override;
    BOOL BEX_CALL GetCatalog(int kind, int index, IBexPlugin** out) override;
    BOOL BEX_CALL GetListIds(int kind, const wchar_t* name, int page, IBexPlugin** out) override;
    BOOL BEX_CALL GetListIdsAt(int kind, int index, int page, IBexPlugin** out) override;
    LONG BEX_CALL RequestListByName(int kind, const wchar_t* name, int page) override;
    LONG BEX_CALL RequestList(int kind, int index, int page) override;
    BOOL BEX_CALL GetListItem(int kind, const wchar_t* name, uint32_t softId, IBexPlugin** out) override;
    BOOL BEX_CALL GetListItemAt(int kind, int index, uint32_t softId, IBexPlugin** out) override;
    BOOL BEX_CALL GetListTitle(int kind, const wchar_t* name, int page, IBexPlugin** out) override;
    LONG BEX_CALL Search(int source, const wchar_t* keyword) override;
    BOOL BEX_CALL GetSearchIds(const wchar_t* keyword, IBexPlugin** out) override;
    BOOL BEX_CALL GetSearchIdsById(int searchId, IBexPlugin** out) override;
    BOOL BEX_CALL GetSearchItem(uint32_t softId, IBexPlugin** out) override;
    const wchar_t* BEX_CALL GetSearchKeyword(int searchId) override;
    LONG BEX_CALL Reserved22(void* a, void* b, void* c) override;
    LONG BEX_CALL SearchByCoop(int source, const wchar_t* keyword, int start, int count) override;
    BOOL BEX_CALL GetCoopSearchIds(const wchar_t* keyword, int start, IBexPlugin** out) override;
    BOOL BEX_CALL GetCoopSearchIdsById(int searchId, IBexPlugin** out) override;
    LONG BEX_CALL GetSearchTotal(const wchar_t* keyword) override;

private:
    ISoftListMgr* Inner() const { return static_cast<ISoftListMgr*>(inner_.Get()); }
    // The inner object when it is this library's CSoftListMgr, else null.
    ISoftListMgr* OwnInner() const;

    // Asked of the kernel when made; null when it gives none.
    protocol::PluginRef<> inner_ = plugin::CreateByClassId(CSoftListMgr::kClassId);
};

HRESULT BEX_CALL CreateSoftListMgr2(IBexPlugin** out);

}  // namespace catalog
