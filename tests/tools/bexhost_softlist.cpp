#include "tests/tools/bexhost_softlist.h"

#include <cstdio>
#include <cwchar>
#include <utility>

#include "plugins/catalog/id_buffer.h"
#include "plugins/catalog/soft_list_mgr.h"
#include "plugins/common/kernel_calls.h"
#include "tests/plugins/record_slots.h"
#include "tests/support/text.h"

namespace {

constexpr UINT kMessage = kListMessage;

int g_failures = 0;

void Fail(const char* what) {
    std::printf("FAIL %s\n", what);
    ++g_failures;
}

void PrintEntry(int index, catalog::ISoftCatalogData* entry) {
    std::printf("entry %d name=%s total=%d pages=%d browser=%d cid=%d\n", index, Utf8(entry->GetName()).c_str(),
                entry->GetTotal(), entry->GetPageCount(), entry->OpensInBrowser(), entry->GetCategoryId());
}

// Slot N of a list record as the kernel reads it.
template <int N>
void PrintItemSlot(catalog::ISoftListData* item) {
    using record_slots::At;
    using record_slots::List;
    if constexpr (N == 19) {
        std::printf("slot 19 %lld\n", static_cast<long long>(item->GetSize()));
    } else if constexpr (N == 5 || N == 12 || N == 18 || (N >= 20 && N <= 25) || N == 28 || N == 29) {
        std::printf("slot %d %d\n", N, At<List, N, int>.read(item));
    } else {
        std::printf("slot %d %s\n", N, Utf8(At<List, N, const wchar_t*>.read(item)).c_str());
    }
}

template <int... N>
void PrintItemSlots(catalog::ISoftListData* item, std::integer_sequence<int, N...>) {
    (PrintItemSlot<N + 5>(item), ...);
}

void PrintItem(catalog::ISoftListData* item) {
    std::printf("slot 3 %ld\n", static_cast<long>(item->GetFlag(L"new")));
    std::printf("slot 4 %s\n", Utf8(item->GetNamedText(L"share")).c_str());
    std::printf("slot 4 %s\n", Utf8(item->GetNamedText(L"filename")).c_str());
    PrintItemSlots(item, std::make_integer_sequence<int, 27>());  // slots 5 to 31
}

// The catalogue of `kind`: the cached entries, else an answer.
void EnsureCatalog(catalog::ISoftListMgr* mgr, HWND window, int kind) {
    if (mgr->GetCatalogCount(kind) > 0) return;
    mgr->RequestCatalog(kind);
    if (!WaitForCode(window, 0, 10000)) std::printf("no catalogue answer\n");
}

}  // namespace

std::string Utf8(const wchar_t* text) { return text ? testsupport::Narrow(text) : "(null)"; }

// Prints the events until one with `code` arrives (then, with `settleMs`,
// the ones that follow within that quiet time) or `timeoutMs` passes.
bool WaitForCode(HWND window, int code, DWORD timeoutMs, DWORD settleMs) {
    bool seen = false;
    DWORD quietSince = ::GetTickCount();
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        bool any = false;
        while (::PeekMessageW(&msg, window, kMessage, kMessage, PM_REMOVE)) {
            any = true;
            std::printf("ev code=%u hi=%u lp=0x%08lX\n", LOWORD(msg.wParam), HIWORD(msg.wParam),
                        static_cast<unsigned long>(msg.lParam));
            if (LOWORD(msg.wParam) == code) seen = true;
        }
        const DWORD now = ::GetTickCount();
        if (any) quietSince = now;
        if (seen && now - quietSince >= settleMs) return true;
        if (!seen && now - start >= timeoutMs) return false;
        ::Sleep(20);
    }
}

int RunSoftListScenario(protocol::BexPluginFn bex, HWND window, const std::vector<std::wstring>& args) {
    g_failures = 0;
    if (args.size() < 2) {
        Fail("arguments");
        return g_failures;
    }
    IBexPlugin* object = nullptr;
    if (bex(70, &object) != S_OK || !object) {
        Fail("create 70");
        return g_failures;
    }
    auto* mgr = static_cast<catalog::ISoftListMgr*>(object);
    std::printf("start %ld\n", static_cast<long>(mgr->Start()));
    mgr->AddListener(window, kMessage);
    const int kind = static_cast<int>(std::wcstol(args[1].c_str(), nullptr, 10));
    if (args[0] == L"catalog") {
        std::printf("cached %ld\n", static_cast<long>(mgr->RequestCatalog(kind)));
        if (!WaitForCode(window, 0, 10000)) std::printf("no catalogue answer\n");
        const LONG count = mgr->GetCatalogCount(kind);
        std::printf("count %ld\n", static_cast<long>(count));
        for (int i = 0; i < count; ++i) {
            IBexPlugin* entry = nullptr;
            if (!mgr->GetCatalog(kind, i, &entry)) continue;
            PrintEntry(i, static_cast<catalog::ISoftCatalogData*>(entry));
            entry->Release();
        }
    } else if (args[0] == L"list" && args.size() >= 4) {
        EnsureCatalog(mgr, window, kind);
        const int page = static_cast<int>(std::wcstol(args[3].c_str(), nullptr, 10));
        mgr->RequestListByName(kind, args[2].c_str(), page);
        if (!WaitForCode(window, 3, 10000, 1000)) Fail("the list did not finish");
        IBexPlugin* ids = nullptr;
        std::string joined;
        if (mgr->GetListIds(kind, args[2].c_str(), page, &ids)) {
            for (uint32_t id : catalog::ReadIds(protocol::kernel::As<protocol::kernel::ByteBuffer>(ids)))
                joined += (joined.empty() ? "" : ",") + std::to_string(id);
            ids->Release();
        }
        std::printf("ids %s\n", joined.empty() ? "none" : joined.c_str());
        IBexPlugin* title = nullptr;
        if (mgr->GetListTitle(kind, args[2].c_str(), page, &title) && title) {
            const auto text = protocol::StringText(protocol::kernel::As<protocol::kernel::String>(title));
            std::printf("title %s\n", Utf8(text.value_or(L"").c_str()).c_str());
            title->Release();
        }
    } else if (args[0] == L"item" && args.size() >= 4) {
        EnsureCatalog(mgr, window, kind);
        const int index = static_cast<int>(std::wcstol(args[2].c_str(), nullptr, 10));
        const uint32_t id = static_cast<uint32_t>(std::wcstoul(args[3].c_str(), nullptr, 10));
        IBexPlugin* item = nullptr;
        if (mgr->GetListItemAt(kind, index, id, &item) && item) {
            std::printf("item %u\n", id);
            PrintItem(static_cast<catalog::ISoftListData*>(item));
            item->Release();
        } else {
            std::printf("item %u none\n", id);
        }
    } else {
        Fail("unknown list scenario");
    }
    std::printf("stop %ld\n", static_cast<long>(mgr->Stop()));
    mgr->Release();
    return g_failures;
}
