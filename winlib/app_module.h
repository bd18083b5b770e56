// The program's module: its instance handle and the UI thread's message loop.
#pragma once

#include <windows.h>

#include <vector>

namespace winlib {

// Gets a look at each message before it is translated and dispatched;
// returning true swallows it (modeless dialogs use this for keyboard input).
class IMessageFilter {
public:
    virtual bool PreTranslateMessage(MSG* msg) = 0;

protected:
    ~IMessageFilter() = default;
};

class MessageLoop {
public:
    void AddFilter(IMessageFilter* filter);
    void RemoveFilter(IMessageFilter* filter);
    // The get / translate / dispatch loop; returns the WM_QUIT exit code.
    int Run();
    // Offers one message to the filters, as Run does; true when one of them
    // swallowed it. For modal loops of their own that must keep the filters.
    bool PreTranslate(MSG* msg);

private:
    std::vector<IMessageFilter*> filters_;
};

class AppModule {
public:
    // Safe to call more than once; the first instance handle wins.
    void Init(HINSTANCE instance);
    void Term();
    HINSTANCE Instance() const;
    MessageLoop& Loop() { return loop_; }

private:
    HINSTANCE instance_ = nullptr;
    MessageLoop loop_;
};

AppModule& Module();

}  // namespace winlib
