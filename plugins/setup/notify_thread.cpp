#include "plugins/setup/notify_thread.h"

#include "plugins/common/kernel_calls.h"
#include "plugins/setup/badge_images.h"
#include "plugins/setup/setup_text.h"
#include "winlib/handles.h"

namespace k = bex::kernel;
using bex::PluginRef;

namespace {

constexpr size_t kTextChars = 260;
constexpr DWORD kStopWaitMs = 120000;
constexpr DWORD kPollMs = 30;
const wchar_t kWindowClass[] = L"PellorUpdateNofity";

struct Record {
    wchar_t text1[kTextChars + 1];
    wchar_t text2[kTextChars + 1];
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    HMODULE self;  // the thread's own reference to Lumvex
};

// Guards the thread handle and the stop event: slots 11 and 12 may run on
// any kernel thread.
SRWLOCK g_lock = SRWLOCK_INIT;
HANDLE g_thread = nullptr;
HANDLE g_stop = nullptr;
INIT_ONCE g_classOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK RegisterWindowClass(INIT_ONCE*, void*, void**) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kWindowClass;
    return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The data-ready message: the buffer's 32-bit entries counted on text1's
// picture, saved as text2.
LONG OnDataReady(IBexPlugin* notice, const Record& record) {
    PluginRef<> buffer;
    if (bex::Call(k::notice::kData, notice, buffer.PutPlugin(), 0) < 0) {
        buffer.Detach();
        return 0;
    }
    const std::optional<bex::ByteView> data = bex::BufferData(buffer.Get());
    if (!data || data->size < 4) return 0;
    PluginRef<> notification;
    if (FAILED(plugin::CreateKernelObject(k::kNotification, notification))) return 0;
    const winlib::Bitmap image(bex::Call(k::notification::kImageFromFile, notification.Get(), record.text1));
    if (!image) return 0;
    const size_t entries = data->size / 4;
    return SaveBadgedImage(entries > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<long>(entries), image.Get(),
                           record.text2);
}

// Runs the registration and the loop; the last result of the data-ready
// work.
LONG Serve(HWND window, const Record& record) {
    PluginRef<> notice;
    if (FAILED(plugin::CreateKernelObject(k::kNotice, notice))) return 0;
    if (!bex::Call(k::notice::kBegin, notice.Get())) return 0;
    bex::Call(k::notice::kRegister, notice.Get(), window, k::notice::kMessage);
    if (!bex::Call(k::notice::kStart, notice.Get(), 5)) return 0;
    LONG last = 0;
    while (::MsgWaitForMultipleObjects(1, &g_stop, FALSE, kPollMs, QS_POSTMESSAGE | QS_SENDMESSAGE) !=
           WAIT_OBJECT_0) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == k::notice::kMessage && msg.wParam == k::notice::kDataReady) {
                last = OnDataReady(notice.Get(), record);
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    bex::Call(k::notice::kEnd, notice.Get());
    return last;
}

DWORD WINAPI ThreadMain(void* parameter) {
    Record* record = static_cast<Record*>(parameter);
    const HMODULE self = record->self;
    try {
        // A window lives and dies with the thread that made it: one per run.
        HWND window = ::CreateWindowExW(0, kWindowClass, L"", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
        if (window) {
            const LONG last = Serve(window, *record);
            ::DestroyWindow(window);
            if (last) ::PostMessageW(record->window, record->message, record->wParam, record->lParam);
        }
    } catch (...) {
    }
    delete record;
    ::FreeLibraryAndExitThread(self, 0);
    return 0;
}

bool Running() { return g_thread && ::WaitForSingleObject(g_thread, 0) == WAIT_TIMEOUT; }

}  // namespace

LONG StartNotifyThread(const NotifyRequest& request) {
    if (!request.text1 || !request.text2 || !request.window) return 0;
    if (!::InitOnceExecuteOnce(&g_classOnce, &RegisterWindowClass, nullptr, nullptr)) return 0;
    ::AcquireSRWLockExclusive(&g_lock);
    LONG started = 0;
    try {
        if (!g_stop) g_stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        HMODULE self = nullptr;
        if (g_stop && !Running() &&
            ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&ThreadMain),
                                 &self)) {
            auto* record = new Record{};
            CopyTextCut(record->text1, kTextChars + 1, request.text1);
            CopyTextCut(record->text2, kTextChars + 1, request.text2);
            record->window = request.window;
            record->message = request.message;
            record->wParam = request.wParam;
            record->lParam = request.lParam;
            record->self = self;
            if (g_thread) ::CloseHandle(g_thread);
            ::ResetEvent(g_stop);
            g_thread = ::CreateThread(nullptr, 0, &ThreadMain, record, 0, nullptr);
            started = g_thread ? 1 : 0;
            if (!g_thread) {
                delete record;
                ::FreeLibrary(self);
            }
        }
    } catch (...) {
    }
    ::ReleaseSRWLockExclusive(&g_lock);
    return started;
}

LONG StopNotifyThread() {
    ::AcquireSRWLockExclusive(&g_lock);
    LONG stopped = 0;
    if (Running()) {
        ::SetEvent(g_stop);
        ::WaitForSingleObject(g_thread, kStopWaitMs);
        stopped = 1;
    }
    ::ReleaseSRWLockExclusive(&g_lock);
    return stopped;
}
