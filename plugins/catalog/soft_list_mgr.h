// The catalogue's cache (class 70, release rule B): catalogue entries of
// four kinds, the paged software lists behind them and their records.
// Callers ask by slot; what is missing is fetched by one worker thread and
// announced to the registered windows by posted messages. The cache lives
// on in the kernel's value store between runs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/text.h"
#include "plugins/catalog/async_result.h"
#include "plugins/catalog/bex_store.h"
#include "plugins/catalog/live_objects.h"
#include "plugins/catalog/soft_list_cache.h"
#include "plugins/catalog/soft_list_data.h"
#include "plugins/catalog/soft_list_state.h"
#include "plugins/catalog/soft_list_worker.h"
#include "plugins/catalog/start_stop_gate.h"
#include "plugins/common/plugin_object.h"
#include "protocol/plugin_ref.h"

namespace catalog {

struct ISoftListMgr : IBexPlugin {
    virtual LONG BEX_CALL Start() = 0;                                                   // 3
    virtual LONG BEX_CALL Stop() = 0;                                                    // 4
    virtual LONG BEX_CALL AddListener(HWND window, UINT message) = 0;                    // 5
    virtual LONG BEX_CALL RemoveListener(HWND window) = 0;                               // 6
    virtual LONG BEX_CALL GetCatalogCount(int kind) = 0;                                 // 7
    virtual LONG BEX_CALL RequestCatalog(int kind) = 0;                                  // 8
    virtual BOOL BEX_CALL GetCatalog(int kind, int index, IBexPlugin** out) = 0;         // 9
    virtual BOOL BEX_CALL GetListIds(int kind, const wchar_t* name, int page, IBexPlugin** out) = 0;  // 10
    virtual BOOL BEX_CALL GetListIdsAt(int kind, int index, int page, IBexPlugin** out) = 0;          // 11
    virtual LONG BEX_CALL RequestListByName(int kind, const wchar_t* name, int page) = 0;             // 12
    virtual LONG BEX_CALL RequestList(int kind, int index, int page) = 0;                             // 13
    virtual BOOL BEX_CALL GetListItem(int kind, const wchar_t* name, uint32_t softId, IBexPlugin** out) = 0;  // 14
    virtual BOOL BEX_CALL GetListItemAt(int kind, int index, uint32_t softId, IBexPlugin** out) = 0;         // 15
    virtual BOOL BEX_CALL GetListTitle(int kind, const wchar_t* name, int page, IBexPlugin** out) = 0;       // 16
    // 17 to 26: keyword and partner searches.
    virtual LONG BEX_CALL Search(int source, const wchar_t* keyword) = 0;                 // 17
    virtual BOOL BEX_CALL GetSearchIds(const wchar_t* keyword, IBexPlugin** out) = 0;    // 18
    virtual BOOL BEX_CALL GetSearchIdsById(int searchId, IBexPlugin** out) = 0;          // 19
    virtual BOOL BEX_CALL GetSearchItem(uint32_t softId, IBexPlugin** out) = 0;          // 20
    virtual const wchar_t* BEX_CALL GetSearchKeyword(int searchId) = 0;                  // 21
    virtual LONG BEX_CALL Reserved22(void* a, void* b, void* c) = 0;                     // 22: 0
    virtual LONG BEX_CALL SearchByCoop(int source, const wchar_t* keyword, int start, int count) = 0;  // 23
    virtual BOOL BEX_CALL GetCoopSearchIds(const wchar_t* keyword, int start, IBexPlugin** out) = 0;   // 24
    virtual BOOL BEX_CALL GetCoopSearchIdsById(int searchId, IBexPlugin** out) = 0;                    // 25
    virtual LONG BEX_CALL GetSearchTotal(const wchar_t* keyword) = 0;                                   // 26
};

// What Start asks of the kernel, unchanged until the next Start; the
// worker and the slots share it by reference count, never under the lock.
struct SoftListServices {
    protocol::PluginRef<protocol::kernel::Software> software;
    protocol::PluginRef<protocol::kernel::Keyword> keyword;
    protocol::PluginRef<protocol::kernel::Details> details;
    protocol::PluginRef<protocol::kernel::HttpFetch> fetch;
    protocol::PluginRef<protocol::kernel::SoftwareQuery> query;
    protocol::PluginRef<protocol::kernel::String> queryTailObject;
    protocol::PluginRef<protocol::kernel::String> systemNameObject;
    std::wstring queryTail;
    std::wstring systemText;
    std::wstring bitness = L"32";
    SoftListCache cache;  // owns the value store (94)
};

// The slots the kernel calls. The state they share with the worker lives
// behind GuardedState (soft_list_state.h, where the lock's one rule is),
// the stored cache in SoftListCache, the queue and the thread in
// SoftListWorker; the worker's handlers are in soft_list_handlers.cpp and
// soft_list_search.cpp.
class CSoftListMgr final : public plugin::PluginObject<CSoftListMgr, ISoftListMgr, 70, plugin::ReleaseRule::B> {
public:
    CSoftListMgr() noexcept;
    ~CSoftListMgr();
    // This library's manager behind `object` while it lives, else null.
    static CSoftListMgr* FromPlugin(IBexPlugin* object) noexcept;

    // Interlocked, and no lock of ours: the kernel holds its own around it.
    LONG BEX_CALL AddRef() noexcept override;
    // The last client left: the worker stops sleeping while work is queued.
    void OnLastClientGone() noexcept;

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
    LONG BEX_CALL Reserved22(void* a, void* b, void* c) noexcept override;
    LONG BEX_CALL SearchByCoop(int source, const wchar_t* keyword, int start, int count) override;
    BOOL BEX_CALL GetCoopSearchIds(const wchar_t* keyword, int start, IBexPlugin** out) override;
    BOOL BEX_CALL GetCoopSearchIdsById(int searchId, IBexPlugin** out) override;
    LONG BEX_CALL GetSearchTotal(const wchar_t* keyword) override;

    // The list key: "%d-%ls-%d" in upper case.
    static std::wstring ListKey(int kind, const std::wstring& name, int page);
    // Threads ended by force since the process started.
    static LONG Terminations();

private:
    using Services = std::shared_ptr<const SoftListServices>;
    // A short name looked up in the details service, and what it gave.
    struct SoftScores {
        SoftScores(uint32_t softId, const wchar_t* name) : id(softId), shortName(name) {}
        uint32_t id;
        std::wstring shortName;
        bool found = false;
        std::wstring score;
        std::wstring comment;
        std::wstring votes;
    };

    // Life and slots, soft_list_mgr.cpp.
    static Services MakeServices();
    Services CurrentServices();
    // A list page's state: from memory, else from the store (kept then).
    std::optional<ListState> FindList(const std::wstring& key);
    // Tells the software query about the record, then hands it out.
    static BOOL TellAndHandOut(RecordRef record, const SoftListServices& services, uint32_t softId,
                               IBexPlugin** out);
    static std::wstring RecordSetKey(int kind, const std::wstring& name);

    // The worker's catalogue and list handlers, soft_list_handlers.cpp.
    static void HandleRequest(void* self, SoftListRequest& request);
    void Handle(SoftListRequest& request, const SoftListServices& services);
    void ChooseCatalogUrl(int kind, const SoftListServices& services);
    void ParseCatalogXml(SoftListRequest& request);
    void FetchListPage(SoftListRequest& request, const SoftListServices& services);
    void ParseSoftListXml(SoftListRequest& request, const SoftListServices& services);
    void AttachListScores(SoftListRequest& request, const SoftListServices& services);
    void ListFailed(int kind, const std::wstring& name, int index, int page);  // state 2, events 1 and 3
    // Records for `ids`, made outside the lock: those the stored set
    // `setKey` holds (one read for them all) when a cache is given, new
    // ones for the rest.
    static RecordSet NewRecords(const std::set<uint32_t>& ids, const SoftListCache* cache,
                                const std::wstring& setKey);
    // Under the lock: the record of `id` in `set`, moved there from `made`
    // when missing; null when neither has one.
    static CSoftListData* Adopt(RecordSet& set, RecordSet& made, uint32_t id);
    static void LookUpScores(protocol::kernel::Details* details, std::vector<SoftScores>& scores);
    static void ApplyScores(tagSoftListData& record, const SoftScores& scores);

    // Searches, soft_list_search.cpp.
    LONG AskSearch(SoftListState& s, SearchState& state, SoftListRequest&& request, int doneCode);
    void SearchSoftList(SoftListRequest& request, const SoftListServices& services);
    void ParseSearchXml(SoftListRequest& request, const SoftListServices& services);
    void AttachSearchScores(SoftListRequest& request, const SoftListServices& services);
    void SearchSoftListByCoop(SoftListRequest& request, const SoftListServices& services);
    void ParseCoopSearchXml(SoftListRequest& request, const SoftListServices& services);
    bool ReadSoftListReply(SoftListRequest& request, const SoftListServices& services, PendingFetch::State& outcome,
                           protocol::PluginRef<protocol::kernel::ObjectList>& names);
    static std::string KeywordUrlText(const std::wstring& keyword, const SoftListServices& services);
    static SearchState* FindSearch(SoftListState& s, const SoftListRequest& request);
    void SearchEnded(const SoftListRequest& request, bool loaded);
    static void ForgetSearches(SoftListState& s);

    StartStopGate gate_;  // Start and Stop one at a time, no lock held while they run
    volatile LONG started_ = 0;  // changed under the state's lock, read anywhere
    GuardedState state_;
    SoftListWorker worker_;
    std::unique_ptr<CBexStore> appIds_;
    LiveObjects<CSoftListMgr>::Entry live_{this};
};

HRESULT BEX_CALL CreateSoftListMgr(IBexPlugin** out);

// The catalogue's keys in upper case (every key, stored ones too, goes
// through this one function; msvcrt's _wcsupr would map ASCII only).
using base::UpperCase;

}  // namespace catalog
