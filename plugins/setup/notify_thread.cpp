#include "plugins/setup/notify_thread.h"

#include <memory>

#include "base/exception_barrier.h"
#include "plugins/common/kernel_calls.h"
#include "plugins/setup/badge_images.h"
#include "plugins/setup/setup_text.h"
#include "base/handles.h"

namespace setup {

namespace k = protocol::kernel;
using protocol::PluginRef;

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
    base::Library self;  // the thread's own reference to Lumvex
};

// Guards the thread handle and the stop event: slots 11 and 12 may run on
// any kernel thread.
SRWLOCK g_lock = SRWLOCK_INIT;
base::KernelHandle g_thread;
base::KernelHandle g_stop;
INIT_ONCE g_classOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK RegisterWindowClass(INIT_ONCE*, void*, void**) noexcept {
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
LONG OnDataReady(k::Notice* notice, const Record& record) {
    const PluginRef<k::ByteBuffer> buffer = protocol::NoticeData(notice);
    const std::optional<protocol::ByteView> data = protocol::BufferData(buffer.Get());
    if (!data || data->size < 4) return 0;
    PluginRef<k::Notification> notification;
    if (FAILED(plugin::CreateKernelObject(notification))) return 0;
    const base::Bitmap image(protocol::Call(k::notification::kImageFromFile, notification.Get(), record.text1));
    if (!image) return 0;
    const size_t entries = data->size / 4;
    return SaveBadgedImage(entries > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<long>(entries), image.Get(),
                           record.text2);
}

// Ends the window's registration with the notice service (slot 4).
class Registration {
public:
    explicit Registration(k::Notice* notice) noexcept : notice_(notice) {}
    ~Registration() { protocol::NoticeEnd(notice_); }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

private:
    k::Notice* notice_;
};

// Runs the registration and the loop; the last result of the data-ready
// work.
LONG Serve(HWND window, const Record& record) {
    PluginRef<k::Notice> notice;
    if (FAILED(plugin::CreateKernelObject(notice))) return 0;
    if (!protocol::NoticeBegin(notice.Get())) return 0;
    protocol::NoticeRegister(notice.Get(), window, k::notice::kMessage);
    // Registered: however the thread leaves from here, the kernel is told.
    const Registration registration(notice.Get());
    if (!protocol::NoticeStart(notice.Get(), 5)) return 0;
    LONG last = 0;
    const HANDLE stop = g_stop.Get();
    while (::MsgWaitForMultipleObjects(1, &stop, FALSE, kPollMs, QS_POSTMESSAGE | QS_SENDMESSAGE) !=
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
    return last;
}

struct WindowTraits {
    static HWND Invalid() { return nullptr; }
    static void Release(HWND window) { ::DestroyWindow(window); }
};

// The thread's work: whether the caller was told.
bool Run(const Record& record) {
    LONG last = 0;
    {
        // A window lives and dies with the thread that made it: one per run.
        const base::UniqueHandle<WindowTraits> window(::CreateWindowExW(0, kWindowClass, L"", WS_OVERLAPPEDWINDOW, 0,
                                                                        0, 0, 0, nullptr, nullptr,
                                                                        ::GetModuleHandleW(nullptr), nullptr));
        if (!window) return false;
        last = Serve(window.Get(), record);
    }
    return last && ::PostMessageW(record.window, record.message, record.wParam, record.lParam);
}

DWORD WINAPI ThreadMain(void* parameter) {
    std::unique_ptr<Record> record(static_cast<Record*>(parameter));
    base::CallGuarded(L"notification thread", false, [&record] { return Run(*record); });
    // The last reference may be this one: the library goes with the thread.
    const HMODULE self = record->self.Detach();
    record.reset();
    ::FreeLibraryAndExitThread(self, 0);
    return 0;
}

// Holds the lock for its scope.
class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) noexcept : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
    ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& lock_;
};

bool Running() { return g_thread && ::WaitForSingleObject(g_thread.Get(), 0) == WAIT_TIMEOUT; }

}  // namespace

LONG StartNotifyThread(const NotifyRequest& request) {
    if (!request.text1 || !request.text2 || !request.window) return 0;
    if (!::InitOnceExecuteOnce(&g_classOnce, &RegisterWindowClass, nullptr, nullptr)) return 0;
    // Filled before the lock: copying may throw, and nothing is held yet.
    auto record = std::make_unique<Record>();
    CopyTextCut(record->text1, kTextChars + 1, request.text1);
    CopyTextCut(record->text2, kTextChars + 1, request.text2);
    record->window = request.window;
    record->message = request.message;
    record->wParam = request.wParam;
    record->lParam = request.lParam;
    ExclusiveLock lock(g_lock);
    if (!g_stop) g_stop.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!g_stop || Running()) return 0;
    // Freed with the record unless the thread starts and takes both.
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&ThreadMain),
                              record->self.Put()))
        return 0;
    ::ResetEvent(g_stop.Get());
    g_thread.Reset(::CreateThread(nullptr, 0, &ThreadMain, record.get(), 0, nullptr));
    if (!g_thread) return 0;
    record.release();  // the thread's now
    return 1;
}

LONG StopNotifyThread() noexcept {
    ExclusiveLock lock(g_lock);
    if (!Running()) return 0;
    ::SetEvent(g_stop.Get());
    ::WaitForSingleObject(g_thread.Get(), kStopWaitMs);
    return 1;
}

}  // namespace setup
