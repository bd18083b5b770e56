#include "winlib/app_module.h"

#include <algorithm>

namespace winlib {

void MessageLoop::AddFilter(IMessageFilter* filter) {
    if (filter && std::find(filters_.begin(), filters_.end(), filter) == filters_.end())
        filters_.push_back(filter);
}

void MessageLoop::RemoveFilter(IMessageFilter* filter) {
    filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

int MessageLoop::Run() {
    MSG msg{};
    for (;;) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) break;  // WM_QUIT
        if (got == -1) continue;
        bool swallowed = false;
        // A filter may remove itself (a modeless dialog closing), so walk a copy.
        const std::vector<IMessageFilter*> filters = filters_;
        for (IMessageFilter* f : filters) {
            if (f->PreTranslateMessage(&msg)) {
                swallowed = true;
                break;
            }
        }
        if (swallowed) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

bool MessageLoop::PreTranslate(MSG* msg) {
    const std::vector<IMessageFilter*> filters = filters_;
    for (IMessageFilter* f : filters)
        if (f->PreTranslateMessage(msg)) return true;
    return false;
}

void AppModule::Init(HINSTANCE instance) {
    if (!instance_) instance_ = instance;
}

void AppModule::Term() {}

HINSTANCE AppModule::Instance() const {
    return instance_ ? instance_ : ::GetModuleHandleW(nullptr);
}

AppModule& Module() {
    static AppModule module;
    return module;
}

}  // namespace winlib
