// The catalogue's cache (class 70, release rule B): catalogue entries of
// four kinds, the paged software lists behind them and their records.
// Callers ask by slot; what is missing is fetched by one worker thread and
// announced to the registered windows by posted messages. The cache lives
// on in the kernel's value store between runs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "plugins/catalog/async_result.h"
#include "plugins/catalog/bex_store.h"
#include "plugins/catalog/soft_list_data.h"
#include "plugins/common/plugin_object.h"
#include "protocol/kernel_calls.h"
#include "protocol/plugin_ref.h"
#include "winlib/handles.h"

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

// A wait on a kernel completion that the worker polls through its queue.
class PendingCompletion {
public:
    PendingCompletion() = default;
    ~PendingCompletion();
    PendingCompletion(PendingCompletion&& other) noexcept;
    PendingCompletion& operator=(PendingCompletion&& other) noexcept;
    PendingCompletion(const PendingCompletion&) = delete;
    PendingCompletion& operator=(const PendingCompletion&) = delete;

    // The details service's scores of `names` (class 4 of class-3 strings).
    static PendingCompletion StartDetails(IBexPlugin* details, IBexPlugin* names, const wchar_t* kind);
    bool Started() const { return static_cast<bool>(result_); }
    // -1 while pending, else the completion status.
    LONG Poll(DWORD waitMs);

private:
    void Close() noexcept;

    bex::PluginRef<IBexAsyncResult> result_;
    HANDLE event_ = nullptr;
    bool kernelMade_ = false;
    bool signalled_ = false;
};

class CSoftListMgr final : public plugin::PluginObject<CSoftListMgr, ISoftListMgr, 70, plugin::ReleaseRule::B> {
public:
    enum RequestKind {
        kCatalogFetch = 0,
        kListFetch = 1,
        kCatalogAnswer = 5,
        kListAnswer = 6,
        kListScores = 7,
        kSearchFetch = 4,
        kSearchAnswer = 8,
        kSearchScores = 9,
        kCoopFetch = 10,
        kCoopAnswer = 11,
    };
    enum ListStateCode { kUnasked = 0, kLoading = 1, kFailed = 2, kLoaded = 3 };

    CSoftListMgr() noexcept;
    ~CSoftListMgr();
    // This library's manager behind `object` while it lives, else null.
    static CSoftListMgr* FromPlugin(IBexPlugin* object) noexcept;

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
    struct SoftListRequest {
        int kind = 0;
        int arg1 = 0;  // catalogue kind
        std::wstring text;
        int page = 1;
        int index = 0;
        int start = 0;              // partner searches
        int count = 0;
        PendingFetch fetch;         // answers 5, 6, 8 and 11
        PendingCompletion details;  // answers 7 and 9
    };
    struct SearchState {
        int state = kUnasked;
        LONG searchId = 0;
        std::wstring keyword;  // upper case
        int start = 0;
        std::vector<uint32_t> ids;
    };
    using CoopKey = std::pair<std::wstring, int>;
    struct ListState {
        int state = kUnasked;  // read back from the store: ids and title, not asked in this run
        std::wstring title;
        std::vector<uint32_t> ids;
    };
    using RecordSet = std::map<uint32_t, CSoftListData*>;

    static DWORD WINAPI SoftListThread(void* self);
    void WorkerLoop();
    void Handle(SoftListRequest& request);
    void Queue(SoftListRequest&& request);
    void ChooseCatalogUrl(int kind);
    void ParseCatalogXml(SoftListRequest& request);
    void FetchListPage(SoftListRequest& request);
    void ParseSoftListXml(SoftListRequest& request);
    void AttachListScores(SoftListRequest& request);
    void AttachScores(tagSoftListData& record);  // under the lock, from the details service
    void ListFailed(int kind, const std::wstring& name, int index, int page);  // state 2, events 1 and 3
    void NotifyListeners(int code, int kind, LPARAM lParam);

    // Searches, soft_list_search.cpp.
    LONG AskSearch(SearchState& state, SoftListRequest&& request, int doneCode);  // under the lock
    void SearchSoftList(SoftListRequest& request);
    void ParseSearchXml(SoftListRequest& request);
    void AttachSearchScores(SoftListRequest& request);
    void SearchSoftListByCoop(SoftListRequest& request);
    void ParseCoopSearchXml(SoftListRequest& request);
    bool ReadSoftListReply(SoftListRequest& request, PendingFetch::State& outcome, bex::PluginRef<>& names);
    std::string KeywordUrlText(const std::wstring& keyword);
    SearchState* FindSearch(const SoftListRequest& request);  // under the lock
    void SearchEnded(const SoftListRequest& request, bool loaded);
    void ForgetSearchItems();  // under the lock
    BOOL IdsOf(const SearchState* state, IBexPlugin** out);  // under the lock
    // Tells the software query about the record, then hands it out (outside
    // the lock, with our own references).
    BOOL TellAndHandOut(bex::PluginRef<CSoftListData> record, bex::PluginRef<> query, uint32_t softId,
                        IBexPlugin** out);

    // Under the lock.
    std::vector<CSoftCatalogData*>& Entries(int kind);
    const CSoftCatalogData* FindEntry(int kind, const std::wstring& name);
    ListState* FindListState(const std::wstring& key);
    CSoftListData* FindListRecord(int kind, const std::wstring& name, uint32_t softId);
    static std::wstring RecordSetKey(int kind, const std::wstring& name);
    void ClearMaps();

    void LoadCatalogCache();
    CSoftCatalogData* LoadCatalogRecord(int kind, int index);
    bool LoadListState(const std::wstring& key, ListState& state);
    CSoftListData* LoadListRecord(const std::wstring& setKey, uint32_t softId);
    void SaveCache();
    // A stored value's bytes, valid while `buffer` (made here) lives.
    std::optional<bex::ByteView> StoreGet(int type, const std::wstring& name, bex::PluginRef<>& buffer,
                                          uint32_t* extra);

    CRITICAL_SECTION lock_;
    volatile LONG started_ = 0;
    std::map<HWND, UINT> listeners_;
    std::map<std::wstring, RecordSet> recordSets_;
    std::map<std::wstring, ListState> lists_;
    std::map<int, std::vector<CSoftCatalogData*>> catalogs_;
    std::deque<SoftListRequest> queue_;
    std::map<std::wstring, SearchState> searches_;
    std::map<CoopKey, SearchState> coopSearches_;
    std::map<std::wstring, LONG> searchTotals_;
    std::map<uint32_t, CSoftListData*> searchItems_;
    LONG nextSearchId_ = 1;
    winlib::Thread worker_;
    winlib::Event wake_;  // manual reset, set while no client holds the manager
    winlib::Event stop_;  // manual reset, set by Stop
    bex::PluginRef<> software_;
    bex::PluginRef<> keyword_;
    bex::PluginRef<> details_;
    bex::PluginRef<> store_;
    bex::PluginRef<> fetch_;
    bex::PluginRef<> query_;
    bex::PluginRef<> queryTailObject_;
    bex::PluginRef<> systemNameObject_;
    std::wstring queryTail_;
    std::wstring systemText_;
    std::wstring bitness_ = L"32";
    std::unique_ptr<CBexStore> appIds_;
    CSoftListMgr* nextLive_ = nullptr;  // the registry of live managers
};

HRESULT BEX_CALL CreateSoftListMgr(IBexPlugin** out);

// The catalogue's keys in upper case (every key, stored ones too, goes
// through this one function; msvcrt's _wcsupr would map ASCII only).
using base::UpperCase;

}  // namespace catalog
