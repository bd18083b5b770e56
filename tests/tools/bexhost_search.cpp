#include "tests/tools/bexhost_search.h"

#include <cstdio>
#include <cwchar>

#include "plugins/catalog/async_result.h"
#include "plugins/catalog/id_buffer.h"
#include "plugins/catalog/soft_list_mgr.h"
#include "plugins/catalog/soft_recommend.h"
#include "plugins/common/kernel_calls.h"
#include "tests/tools/bexhost_softlist.h"

namespace {

int g_failures = 0;

void Fail(const char* what) {
    std::printf("FAIL %s\n", what);
    ++g_failures;
}

std::string Joined(IBexPlugin* buffer) {
    std::string joined;
    for (uint32_t id : catalog::ReadIds(protocol::kernel::As<protocol::kernel::ByteBuffer>(buffer)))
        joined += (joined.empty() ? "" : ",") + std::to_string(id);
    return joined;
}

void PrintIds(BOOL ok, IBexPlugin* buffer) {
    std::printf("ids %s\n", ok && buffer ? Joined(buffer).c_str() : "none");
    if (ok && buffer) buffer->Release();
}

template <typename T>
T* Make(protocol::BexPluginFn bex, uint32_t id) {
    IBexPlugin* object = nullptr;
    if (bex(static_cast<int>(id), &object) != S_OK || !object) return nullptr;
    return static_cast<T*>(object);
}

void Search(catalog::ISoftListMgr* mgr, HWND window, const std::vector<std::wstring>& args) {
    LONG id = 0;
    if (args[0] == L"search") {
        id = mgr->Search(static_cast<int>(std::wcstol(args[1].c_str(), nullptr, 10)), args[2].c_str());
    } else {
        id = mgr->SearchByCoop(1, args[1].c_str(), static_cast<int>(std::wcstol(args[2].c_str(), nullptr, 10)),
                               static_cast<int>(std::wcstol(args[3].c_str(), nullptr, 10)));
    }
    std::printf("search id=%ld\n", static_cast<long>(id));
    if (id == 0) return;
    if (!WaitForCode(window, 3, 10000)) Fail("the search did not finish");
    IBexPlugin* ids = nullptr;
    if (args[0] == L"search") {
        const BOOL ok = mgr->GetSearchIdsById(id, &ids);
        PrintIds(ok, ids);
    } else {
        const BOOL ok = mgr->GetCoopSearchIdsById(id, &ids);
        PrintIds(ok, ids);
        std::printf("total %ld\n", static_cast<long>(mgr->GetSearchTotal(args[1].c_str())));
    }
    std::printf("keyword %s\n", Utf8(mgr->GetSearchKeyword(id)).c_str());
}

std::vector<uint32_t> IdList(const std::wstring& text) {
    std::vector<uint32_t> ids;
    for (const wchar_t* p = text.c_str(); *p;) {
        wchar_t* end = nullptr;
        const unsigned long id = std::wcstoul(p, &end, 10);
        if (end == p) {
            ++p;
            continue;
        }
        ids.push_back(static_cast<uint32_t>(id));
        p = end;
    }
    return ids;
}

void PrintRecord(IBexPlugin* object) {
    auto* record = static_cast<catalog::ISoftReCmdData*>(object);
    std::printf("record pick=%u soft=%u desp=%s class=%s alias=%s zan=%s\n", record->GetPickId(), record->GetSoftId(),
                Utf8(record->GetDesp()).c_str(), Utf8(record->GetClassBaike()).c_str(),
                Utf8(record->GetAlias()).c_str(), Utf8(record->GetZanName()).c_str());
    protocol::PluginRef<protocol::kernel::ObjectList> tags;
    std::string joined;
    if (record->GetTags(tags.PutPlugin()) && tags)
        for (int i = 0; i < protocol::ListCount(tags.Get()); ++i)
            joined += (joined.empty() ? "" : ",") +
                      Utf8(protocol::StringText(protocol::ListItemOf<protocol::kernel::String>(tags.Get(), i).Get())
                               .value_or(L"")
                               .c_str());
    std::printf("tags [%s]\n", joined.c_str());
}

void Recommend(protocol::BexPluginFn bex, const std::vector<std::wstring>& args) {
    auto* r = Make<catalog::ISoftReCommend3>(bex, 148);
    if (!r) return Fail("create 148");
    std::printf("ready %ld start %ld\n", static_cast<long>(r->IsReady(nullptr, nullptr, nullptr)),
                static_cast<long>(r->Start()));
    const std::wstring how = args.size() > 3 ? args[3] : L"";
    const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    protocol::PluginRef<IBexAsyncResult> result(catalog::CreateAsyncResult(event, nullptr));
    protocol::PluginRef<protocol::kernel::ByteBuffer> owned = catalog::NewIdBuffer(IdList(args[1]));
    protocol::PluginRef<protocol::kernel::ByteBuffer> excluded = catalog::NewIdBuffer(IdList(args[2]));
    LONG queued = 0;
    if (how == L"once") queued = r->RequestOnce(owned.Get(), excluded.Get(), nullptr, result.Get());
    else if (how == L"list") queued = r->RequestList(owned.Get(), excluded.Get(), nullptr, result.Get());
    else if (how == L"first") queued = r->RequestFirst(owned.Get(), excluded.Get(), nullptr, result.Get());
    else queued = r->Request(owned.Get(), excluded.Get(), nullptr, result.Get());
    std::printf("queued %ld\n", static_cast<long>(queued));
    if (queued && ::WaitForSingleObject(event, 10000) != WAIT_OBJECT_0) Fail("no completion");
    if (queued && result) {
        protocol::PluginRef<> object;
        const LONG status = result->GetResult(object.PutPlugin());
        std::printf("status %ld count %ld\n", static_cast<long>(status), static_cast<long>(r->GetCount()));
        if (object && how == L"list") {
            auto* list = protocol::kernel::As<protocol::kernel::ObjectList>(object.Get());
            for (int i = 0; i < protocol::ListCount(list); ++i) PrintRecord(protocol::ListItem(list, i).Get());
        } else if (object && status) {
            PrintRecord(object.Get());
        }
    }
    result.Reset();
    ::CloseHandle(event);
    std::printf("save %ld\n", static_cast<long>(r->SaveUpdateTime()));
    r->Release();
}

}  // namespace

bool IsSearchScenario(const std::wstring& name) {
    return name == L"search" || name == L"coop" || name == L"wrap70" || name == L"recommend";
}

int RunSearchScenario(protocol::BexPluginFn bex, HWND window, const std::vector<std::wstring>& args) {
    g_failures = 0;
    const std::wstring& name = args[0];
    if ((name == L"search" && args.size() < 3) || (name == L"coop" && args.size() < 4) ||
        (name == L"recommend" && args.size() < 3)) {
        Fail("arguments");
        return g_failures;
    }
    if (name == L"recommend") {
        Recommend(bex, args);
        return g_failures;
    }
    auto* mgr = Make<catalog::ISoftListMgr>(bex, name == L"wrap70" ? 303 : 70);
    if (!mgr) {
        Fail("create");
        return g_failures;
    }
    std::printf("start %ld\n", static_cast<long>(mgr->Start()));
    mgr->AddListener(window, kListMessage);
    if (name == L"wrap70") {
        const LONG id = mgr->Search(1, L"abc");
        std::printf("search id=%ld\n", static_cast<long>(id));
        if (id && !WaitForCode(window, 3, 10000)) Fail("the search did not finish");
        std::printf("keyword %s total %ld\n", Utf8(mgr->GetSearchKeyword(id)).c_str(),
                    static_cast<long>(mgr->GetSearchTotal(L"abc")));
    } else {
        Search(mgr, window, args);
    }
    std::printf("stop %ld\n", static_cast<long>(mgr->Stop()));
    mgr->Release();
    return g_failures;
}
