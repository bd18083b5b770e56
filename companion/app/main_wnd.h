// The mascot's window: the one window the rest of the system talks to. It
// owns the detect thread's handshake on the UI side and answers the settings
// program's messages.
#pragma once

#include <windows.h>

#include "companion/actions/action_messages.h"
#include "companion/actions/detect_action_condition.h"
#include "protocol/companion_messages.h"
#include "winlib/window.h"

class CMainWnd : public winlib::Window {
public:
    CMainWnd();
    ~CMainWnd() override;

    // The detect thread, once created (it lives as long as the process).
    CDetectActionCondition* DetectThread() const { return detect_; }

    WL_BEGIN_MSG_MAP()
        WL_MESSAGE_HANDLER(WM_CREATE, OnCreate)
        WL_MESSAGE_HANDLER(WM_CLOSE, OnClose)
        WL_MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        WL_MESSAGE_HANDLER(WM_POWERBROADCAST, OnPowerBroadcast)
        WL_MESSAGE_HANDLER(WM_WTSSESSION_CHANGE, OnSessionChange)
        WL_MESSAGE_HANDLER(WM_ACTION_DUE, OnActionDue)
        WL_MESSAGE_HANDLER(protocol::WM_SETTINGS_CHANGED, OnSettingsChanged)
        WL_MESSAGE_HANDLER(protocol::WM_SETTINGS_RESERVED, OnReserved)
        WL_MESSAGE_HANDLER(protocol::WM_REST_SETTINGS_CHANGED, OnRestSettingsChanged)
        WL_MESSAGE_HANDLER(protocol::WM_REPORT_SETTINGS_EVENT, OnStatistic)
    WL_END_MSG_MAP()

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPowerBroadcast(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSessionChange(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnActionDue(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSettingsChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnReserved(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnRestSettingsChanged(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnStatistic(UINT, WPARAM, LPARAM, BOOL&);

    void SetAway(bool away);

    CDetectActionCondition* detect_ = nullptr;
    bool away_ = false;
};
