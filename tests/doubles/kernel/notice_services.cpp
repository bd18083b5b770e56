// Class 101 (notice): keeps the window a plug-in registers, so a test can
// have the kernel post the data-ready message to it (BexTest_PostNotice),
// and answers slot 9 with a buffer of [notice] bytes=<n> bytes (default 0:
// an empty buffer). [notice] begin=0 makes slot 3 false, start=0 slot 8.
#include <string>

#include "protocol/bex_kernel.h"
#include "tests/doubles/kernel/bex_test_api.h"
#include "tests/doubles/kernel/kernel_state.h"
#include "tests/doubles/kernel/service_object.h"
#include "tests/doubles/kernel/services.h"

namespace standin {

namespace k = protocol::kernel;

namespace {

struct Notice : ServiceObject {};

HWND g_window = nullptr;
UINT g_message = 0;

int BEX_CALL NoticeBegin(k::Notice*) {
    Log(L"101.3");
    return ConfigInt(L"notice", L"begin", 1);
}
int BEX_CALL NoticeEnd(k::Notice*) {
    Log(L"101.4");
    KernelLock lock;
    g_window = nullptr;
    return 1;
}
int BEX_CALL NoticeRegister(k::Notice*, HWND window, UINT message) {
    Log(L"101.5 " + std::to_wstring(message));
    KernelLock lock;
    g_window = window;
    g_message = message;
    return 1;
}
int BEX_CALL NoticeStart(k::Notice*, int n) {
    Log(L"101.8 " + std::to_wstring(n));
    return ConfigInt(L"notice", L"start", 1);
}
int BEX_CALL NoticeData(k::Notice*, k::ByteBuffer** buffer, int) {
    const int bytes = ConfigInt(L"notice", L"bytes", 0);
    Log(L"101.9 " + std::to_wstring(bytes));
    if (!buffer) return -1;
    *buffer = MakeByteBufferWith(std::string(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0'));
    return 0;
}

}  // namespace

IBexPlugin* MakeNotice() {
    static const SlotTable<k::notice::Of> table = [] {
        SlotTable<k::notice::Of> t;
        t.Set(k::notice::kBegin, &NoticeBegin);
        t.Set(k::notice::kEnd, &NoticeEnd);
        t.Set(k::notice::kRegister, &NoticeRegister);
        t.Set(k::notice::kStart, &NoticeStart);
        t.Set(k::notice::kData, &NoticeData);
        return t;
    }();
    return HandOut(NewServiceObject<Notice>(table, k::kNotice));
}

int PostNotice() {
    KernelLock lock;
    if (!g_window) return 0;
    return ::PostMessageW(g_window, g_message, k::notice::kDataReady, 0) ? 1 : 0;
}

}  // namespace standin

extern "C" __declspec(dllexport) int __stdcall BexTest_PostNotice() { return standin::PostNotice(); }
static_assert(std::is_same<decltype(&BexTest_PostNotice), bextest::PostNoticeFn>::value, "declared entry");
