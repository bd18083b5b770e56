// The movie control of the exercise and rest dialogs. The control is an
// ActiveX object hosted in a child window of the system's ActiveX host class
// ("AtlAxWin", from atl.dll, loaded when first needed); it is driven through
// its dispatch interface by member name, and its events come back through a
// connection-point sink. Without the player installed, `Create` reports that
// no control came up and the dialogs take their "no player" way out.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>

#include "base/handles.h"
#include "winlib/subclass.h"

namespace companion {

// The player's identity, as registered by its installer.
extern const wchar_t kFlashProgId[];
extern const CLSID kFlashClsid;
extern const IID kFlashInterfaceId;  // the control's own dual interface
extern const IID kFlashEventsId;     // its event dispatch interface

// Event numbers of the player's event interface.
enum FlashEvent : DISPID { kFlashEventFsCommand = 150, kFlashEventFlashCall = 197 };

// Registers the host window class; false when atl.dll or its entry is missing.
bool InitAxHost();
// A host child window that creates the control named by `progId`; null when
// the window cannot be made (the control itself may still be missing).
HWND CreateAxHostWindow(HWND parent, const wchar_t* progId, UINT id, const RECT& rect, DWORD style);
// The control inside a host window (AddRef'ed); a failure code without one.
HRESULT GetAxHostControl(HWND host, IUnknown** control);

// The sink that the dialogs connect to the player's events. A FlashCall
// (the movie telling us it is over) posts `doneMessage` to the dialog; an
// FSCommand is handed to the dialog as WM_NULL (command and arguments as
// std::wstring pointers), which does nothing, so it cannot end a dialog.
class CFlashEventSink : public IDispatch {
public:
    CFlashEventSink(HWND dialog, UINT doneMessage) : dialog_(dialog), doneMessage_(doneMessage) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

protected:
    virtual ~CFlashEventSink() = default;

private:
    LONG refs_ = 0;
    HWND dialog_;
    UINT doneMessage_;
};

// Keeps the player's own window from opening its context menu: right-button
// presses and releases are swallowed.
class CFlashWindowSubclass {
public:
    CFlashWindowSubclass() = default;
    ~CFlashWindowSubclass() { Unsubclass(); }
    CFlashWindowSubclass(const CFlashWindowSubclass&) = delete;
    CFlashWindowSubclass& operator=(const CFlashWindowSubclass&) = delete;

    bool Subclass(HWND hwnd);
    void Unsubclass();
    HWND Hwnd() const { return subclass_.Hwnd(); }

private:
    static LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    winlib::Subclass subclass_;
};

// One hosted player: its host window, its interface, the event connection
// and the subclass of its window, taken down in the right order.
class CFlashPlayer {
public:
    CFlashPlayer() = default;
    ~CFlashPlayer() { Close(); }
    CFlashPlayer(const CFlashPlayer&) = delete;
    CFlashPlayer& operator=(const CFlashPlayer&) = delete;

    // Makes the host window (child `id` of `dialog`) and, when the player is
    // installed, connects `sink` (taken over) and subclasses its window with
    // `subclass`. True when a control came up.
    bool Create(HWND dialog, UINT id, const RECT& rect, DWORD style, CFlashEventSink* sink,
                CFlashWindowSubclass* subclass);
    // Disconnects the sink, removes the subclass and releases the control;
    // the host window goes with its parent. Safe to call more than once.
    void Close();

    bool HasControl() const { return static_cast<bool>(control_); }
    HWND Host() const { return host_; }
    bool HostVisible() const { return host_ && ::IsWindowVisible(host_); }

    // The calls the dialogs make, by member name.
    HRESULT PutMovie(const std::wstring& path);
    HRESULT PutLoop(bool loop);
    HRESULT GotoFrame(long frame);
    HRESULT Play();
    HRESULT Stop();
    // False also when the control cannot tell.
    bool IsPlaying();
    // Movie, Loop false, frame 0, Play: the start of a movie from its top.
    HRESULT StartMovie(const std::wstring& path);

private:
    HRESULT Call(const wchar_t* name, WORD flags, VARIANT* args, UINT count, VARIANT* result);

    HWND host_ = nullptr;
    base::ComPtr<IDispatch> control_;
    base::ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
    CFlashWindowSubclass* subclass_ = nullptr;
};

// What the user is told when the player is missing: a message box, then the
// player's download page. Tests put a recorder in its place.
using NoPlayerNotice = void (*)(HWND owner);
void ShowNoPlayerNotice(HWND owner);
// null: the real notice again.
void SetNoPlayerNotice(NoPlayerNotice notice);

}  // namespace companion
