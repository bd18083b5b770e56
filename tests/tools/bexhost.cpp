// bexhost: a host program for the plug-ins in tests. It reaches the
// stand-in kernel as Corvalle reaches the real one (LoadLibraryW and
// GetProcAddress, found the way a plug-in finds it), loads a plug-in through
// it and runs scenarios, printing stable text. Where no kernel is found it
// loads the plug-in itself and calls its table's factories directly.
//
//   bexhost table [DLL]      the class table: magic, rows, end
//   bexhost locate [DLL]     loads the plug-in itself; the kernel it bound
//   bexhost create ID|all [DLL]
//   bexhost async            a completion object of this process's own
//                            binding (null when no kernel is found)
//   bexhost misc ...         Lumvex's miscellaneous job (bexhost_misc.cpp)
//   bexhost info ID,ID... [stop] [DLL]
//                            the software information manager (109): Start,
//                            one Query of the ids, its status, then per id
//                            every getter by slot number (texts in UTF-8);
//                            with "stop", Stop before the kernel shuts down
//   bexhost setup ...        Lumvex's setup job and pinning (bexhost_setup.cpp)
//   bexhost setup uninstall  Lumvex's uninstall clean-up (bexhost_uninstall.cpp)
//   bexhost setup after-install | daemon ...   Lumvex's setup utility and
//                            options daemon (bexhost_utility.cpp)
//   bexhost catalog KIND | list KIND NAME PAGE | item KIND INDEX ID
//                            the software list manager (70), see
//                            bexhost_softlist.h
//   bexhost search SRC KEYWORD | coop KEYWORD START COUNT | wrap70 |
//           recommend OWNED EXCLUDED [once|list|first]
//                            searches, the wrapper and the recommendations,
//                            see bexhost_search.h
//
// DLL defaults to Tandrel.dll; a relative name is taken beside bexhost.exe.
// Messages posted to the host's message-only window are printed as
//   ev code=C hi=K lp=0xXXXXXXXX
// The exit code is the number of failures (a kernel imbalance counts).
#include <windows.h>

#include <cstdio>
#include <vector>
#include <cwchar>
#include <string>
#include <utility>

#include "base/module_exports.h"
#include "plugins/catalog/async_result.h"
#include "plugins/catalog/id_buffer.h"
#include "plugins/catalog/soft_info.h"
#include "plugins/common/kernel_calls.h"
#include "plugins/common/kernel_binding.h"
#include "protocol/bex_plugin.h"
#include "protocol/program_names.h"
#include "tests/doubles/kernel/bex_test_api.h"
#include "tests/plugins/record_slots.h"
#include "tests/support/text.h"
#include "tests/tools/bexhost_misc.h"
#include "tests/tools/bexhost_setup.h"
#include "tests/tools/bexhost_uninstall.h"
#include "tests/tools/bexhost_utility.h"
#include "tests/tools/bexhost_search.h"
#include "tests/tools/bexhost_softlist.h"

namespace {

int g_failures = 0;

void Fail(const char* what) {
    std::printf("FAIL %s\n", what);
    ++g_failures;
}

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring PluginPath(int argc, wchar_t** argv, int index) {
    const std::wstring name = index < argc ? argv[index] : L"Tandrel.dll";
    if (name.size() > 1 && (name[1] == L':' || name[0] == L'\\')) return name;
    return ExeFolder() + name;
}

struct Kernel {
    HMODULE module = nullptr;
    protocol::BexPluginFn bex = nullptr;
    bextest::LoadPluginFn load = nullptr;
    bextest::ShutdownFn shutdown = nullptr;
    bextest::ReportFn report = nullptr;
};

// The kernel where a plug-in would look for it, or none.
Kernel FindKernel() {
    Kernel kernel;
    const std::wstring path = plugin::LocateKernelDll();
    if (path.empty()) return kernel;
    kernel.module = ::LoadLibraryW(path.c_str());
    kernel.bex = base::Export<protocol::BexPluginFn>(kernel.module, protocol::kBexPluginName);
    kernel.load = base::Export<bextest::LoadPluginFn>(kernel.module, bextest::kLoadPluginName);
    kernel.shutdown = base::Export<bextest::ShutdownFn>(kernel.module, bextest::kShutdownName);
    kernel.report = base::Export<bextest::ReportFn>(kernel.module, bextest::kReportName);
    if (!kernel.bex || !kernel.load || !kernel.shutdown || !kernel.report) kernel = Kernel{};
    return kernel;
}

const protocol::PluginTableHeader* TableOf(HMODULE plugin) {
    return base::Export<const protocol::PluginTableHeader*>(plugin, protocol::kTableExportName);
}

// Through the kernel when there is one (as in production), else directly.
HMODULE LoadPlugin(const Kernel& kernel, const std::wstring& path) {
    if (kernel.load && kernel.load(path.c_str()) != S_OK) Fail("the kernel did not load the plug-in");
    return ::LoadLibraryW(path.c_str());
}

void PrintTable(HMODULE plugin) {
    const protocol::PluginTableHeader* header = TableOf(plugin);
    if (!header) return Fail("no table");
    std::printf("magic 0x%08X reserved %u %u %u\n", header->magic, header->reserved[0], header->reserved[1],
                header->reserved[2]);
    int rows = 0;
    for (auto* e = reinterpret_cast<const protocol::PluginEntry*>(header + 1); e->classId || e->factory; ++e, ++rows)
        std::printf("row %u %ls 0x%08X\n", e->classId, e->className ? e->className : L"(null)", e->flags);
    std::printf("end %d\n", rows);
}

void CreateThroughKernel(const Kernel& kernel, uint32_t id) {
    IBexPlugin* object = nullptr;
    const HRESULT hr = protocol::ResultStatus(kernel.bex(static_cast<int>(id), &object));
    std::printf("create %u 0x%08lX class=%u\n", id, static_cast<unsigned long>(hr), object ? object->GetClassId() : 0);
    if (hr != S_OK || !object || object->GetClassId() != id) Fail("create");
    if (object) object->Release();
}

// Unbound: every factory must fail with E_OUTOFMEMORY and leave *out alone.
void CreateDirectly(const protocol::PluginEntry& entry) {
    IBexPlugin* const sentinel = reinterpret_cast<IBexPlugin*>(0x5EA1F00D);
    IBexPlugin* object = sentinel;
    const HRESULT hr = entry.factory(&object);
    std::printf("create %u 0x%08lX out=%ls\n", entry.classId, static_cast<unsigned long>(hr),
                object == sentinel ? L"untouched" : L"written");
    if (object != sentinel) {
        Fail("the out pointer was written");
        if (object) object->Release();
    }
}

void Create(const Kernel& kernel, HMODULE plugin, const std::wstring& which) {
    const protocol::PluginTableHeader* header = TableOf(plugin);
    if (!header) return Fail("no table");
    const bool all = which == L"all";
    const uint32_t id = all ? 0 : static_cast<uint32_t>(std::wcstoul(which.c_str(), nullptr, 10));
    for (auto* e = reinterpret_cast<const protocol::PluginEntry*>(header + 1); e->classId || e->factory; ++e) {
        if (!all && e->classId != id) continue;
        if (kernel.bex) CreateThroughKernel(kernel, e->classId);
        else CreateDirectly(*e);
    }
}

void Locate(const std::wstring& path) {
    // The plug-in binds its kernel by itself, at its attach.
    if (!::LoadLibraryW(path.c_str())) return Fail("the plug-in did not load");
    const HMODULE kernel = ::GetModuleHandleW(protocol::kKernelLibrary);
    wchar_t name[MAX_PATH] = {};
    if (kernel) ::GetModuleFileNameW(kernel, name, MAX_PATH);
    std::printf("kernel %ls\n", kernel ? name : L"none");
}

void Async() {
    plugin::LoadKernelDll();
    const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    protocol::PluginRef<IBexAsyncResult> result = catalog::CreateAsyncResult(event, nullptr);
    if (result) {
        std::printf("async class=%u\n", result->GetClassId());
        result.Reset();
    } else {
        std::printf("async null\n");
    }
    ::CloseHandle(event);
}

void PrintText(int slot, const wchar_t* text) {
    if (!text) {
        std::printf("slot %d (null)\n", slot);
        return;
    }
    std::printf("slot %d %s\n", slot, testsupport::Narrow(text).c_str());
}

// Slot N of an information record as the kernel reads it.
template <int N>
void PrintSoftInfoSlot(catalog::ISoftInfoData* record) {
    using record_slots::At;
    using record_slots::Info;
    if constexpr (N == 3) {
        std::printf("slot 3 %ld\n", static_cast<long>(record_slots::Call<Info, 3, LONG(void*)>(record, nullptr)));
    } else if constexpr (N == 4) {
        PrintText(4, record->GetNamedText(L"share"));
        PrintText(4, record->GetNamedText(L"baikename"));
    } else if constexpr ((N >= 7 && N <= 13) || (N >= 16 && N <= 19) || (N >= 27 && N <= 30)) {
        PrintText(N, At<Info, N, const wchar_t*>.read(record));
    } else {
        std::printf("slot %d %u\n", N, At<Info, N, uint32_t>.read(record));
    }
}

template <int... N>
void PrintSoftInfoSlots(catalog::ISoftInfoData* record, std::integer_sequence<int, N...>) {
    (PrintSoftInfoSlot<N + 3>(record), ...);
}

void PrintSoftInfo(catalog::ISoftInfoData* record) {
    PrintSoftInfoSlots(record, std::make_integer_sequence<int, 30>());  // slots 3 to 32
}

void Info(const Kernel& kernel, const std::wstring& list, bool stop) {
    plugin::LoadKernelDll();
    if (!kernel.bex) return Fail("no kernel");
    IBexPlugin* object = nullptr;
    if (kernel.bex(109, &object) != S_OK || !object) return Fail("create 109");
    auto* info = static_cast<catalog::ISoftInfo*>(object);
    std::printf("start %ld\n", static_cast<long>(info->Start()));
    std::vector<uint32_t> ids;
    for (const wchar_t* p = list.c_str(); *p;) {
        wchar_t* end = nullptr;
        ids.push_back(static_cast<uint32_t>(std::wcstoul(p, &end, 10)));
        p = *end ? end + 1 : end;
    }
    protocol::PluginRef<protocol::kernel::ByteBuffer> buffer = catalog::NewIdBuffer(ids);
    const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    protocol::PluginRef<IBexAsyncResult> result = catalog::CreateAsyncResult(event, nullptr);
    std::printf("query %ld\n", static_cast<long>(info->Query(buffer.Get(), result.Get())));
    if (::WaitForSingleObject(event, 20000) == WAIT_OBJECT_0)
        std::printf("status %ld\n", static_cast<long>(result->GetResult(nullptr)));
    else Fail("the query did not complete");
    for (uint32_t id : ids) {
        catalog::ISoftInfoData* record = nullptr;
        if (!info->GetInfo(id, &record) || !record) {
            std::printf("info %u none\n", id);
            continue;
        }
        std::printf("info %u\n", id);
        PrintSoftInfo(record);
        record->Release();
    }
    if (stop) std::printf("stop %ld\n", static_cast<long>(info->Stop()));
    result.Reset();
    ::CloseHandle(event);
    object->Release();
}

HWND MakeEventWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BexHostEvents";
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

void PrintEvents(HWND window) {
    MSG msg;
    while (::PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {
        if (msg.message < WM_USER) continue;
        std::printf("ev code=%u hi=%u lp=0x%08lX\n", LOWORD(msg.wParam), HIWORD(msg.wParam),
                    static_cast<unsigned long>(msg.lParam));
    }
}

void CheckBalance(const Kernel& kernel) {
    if (!kernel.shutdown) return;
    kernel.shutdown();
    wchar_t text[4096] = {};
    if (kernel.report(text, 4096) != 0) {
        std::printf("unbalanced:\n%ls", text);
        Fail("balance");
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::printf("usage: bexhost table|locate|create|async|info|catalog|list|item ...\n");
        return 1;
    }
    const std::wstring scenario = argv[1];
    const HWND window = MakeEventWindow();
    if (scenario == L"locate") {
        Locate(PluginPath(argc, argv, 2));
    } else if (scenario == L"async") {
        Async();
    } else {
        const Kernel kernel = FindKernel();
        if (scenario == L"table") {
            PrintTable(LoadPlugin(kernel, PluginPath(argc, argv, 2)));
        } else if (scenario == L"info" && argc >= 3) {
            const bool stop = argc >= 4 && std::wstring(argv[3]) == L"stop";
            LoadPlugin(kernel, PluginPath(argc, argv, stop ? 4 : 3));
            Info(kernel, argv[2], stop);
        } else if (scenario == L"catalog" || scenario == L"list" || scenario == L"item") {
            LoadPlugin(kernel, PluginPath(argc, argv, argc));
            plugin::LoadKernelDll();
            if (!kernel.bex) Fail("no kernel");
            else
                g_failures += RunSoftListScenario(kernel.bex, window, std::vector<std::wstring>(argv + 1, argv + argc));
        } else if (IsSearchScenario(scenario)) {
            LoadPlugin(kernel, PluginPath(argc, argv, argc));
            plugin::LoadKernelDll();
            if (!kernel.bex) Fail("no kernel");
            else g_failures += RunSearchScenario(kernel.bex, window, std::vector<std::wstring>(argv + 1, argv + argc));
        } else if (scenario == L"create" && argc >= 3) {
            Create(kernel, LoadPlugin(kernel, PluginPath(argc, argv, 3)), argv[2]);
        } else if (scenario == L"misc") {
            LoadPlugin(kernel, ExeFolder() + L"Lumvex.dll");
            g_failures += RunMiscScenario(kernel.bex, argc - 1, argv + 1);
        } else if (scenario == L"daemon" ||
                   (scenario == L"setup" && argc >= 3 && std::wcscmp(argv[2], L"after-install") == 0)) {
            LoadPlugin(kernel, ExeFolder() + L"Lumvex.dll");
            g_failures += RunUtilityScenario(kernel.bex, kernel.module, argc - 1, argv + 1);
        } else if (scenario == L"setup" && argc >= 3 && std::wcscmp(argv[2], L"uninstall") == 0) {
            LoadPlugin(kernel, ExeFolder() + L"Lumvex.dll");
            g_failures += RunUninstallScenario(kernel.bex);
        } else if (scenario == L"setup") {
            LoadPlugin(kernel, ExeFolder() + L"Lumvex.dll");
            g_failures += RunSetupScenario(kernel.bex, argc - 1, argv + 1);
        } else {
            Fail("unknown scenario");
        }
        PrintEvents(window);
        CheckBalance(kernel);
    }
    std::fflush(stdout);
    return g_failures;
}
