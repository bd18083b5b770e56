// The interfaces of Lumvex's five classes, each with its class id, as the
// kernel calls them (and Lumvex itself, through the kernel): fixed
// slots from 3 on, __stdcall with the object first, exact arities (a wrong
// count of arguments corrupts the caller's stack).
#pragma once

#include <windows.h>

#include <cstdint>

#include "protocol/bex_plugin.h"

namespace setup {

struct RecommendResult;

// 88
struct IBexSetupUtil : IBexPlugin {
    static constexpr uint32_t kClassId = 88;

    virtual LONG BEX_CALL ConfigureAfterInstall() = 0;  // slot 3
    virtual LONG BEX_CALL UninstallCleanup() = 0;       // slot 4
};

// 89
struct IBexDaemon : IBexPlugin {
    static constexpr uint32_t kClassId = 89;

    virtual LONG BEX_CALL Start() = 0;  // slot 3
    virtual LONG BEX_CALL Stop() = 0;   // slot 4
};

// 90
struct IPinToStartMenu : IBexPlugin {
    static constexpr uint32_t kClassId = 90;

    virtual LONG BEX_CALL Pin() = 0;                                                     // slot 3
    virtual LONG BEX_CALL Unpin() = 0;                                                   // slot 4
    virtual LONG BEX_CALL ApplyPinState() = 0;                                           // slot 5
    virtual LONG BEX_CALL InvokePinVerb(BOOL pin) = 0;                                   // slot 6
    virtual LONG BEX_CALL RunSetupUtility(BOOL remove) = 0;                              // slot 7
    virtual LONG BEX_CALL ScanPinnedStartMenu() = 0;                                     // slot 8
    virtual LONG BEX_CALL UpdateCountBadge(LONG count, const wchar_t* referencePath) = 0;  // slot 9
    virtual LONG BEX_CALL ShowNotify(void* data, const wchar_t* pngPath, HWND window, UINT message, WPARAM wParam,
                                     LPARAM lParam) = 0;  // slot 10
    virtual LONG BEX_CALL StartNotifyThread(const wchar_t* text1, const wchar_t* text2, HWND window, UINT message,
                                            WPARAM wParam, LPARAM lParam) = 0;  // slot 11
    virtual LONG BEX_CALL StopNotifyThread() = 0;                               // slot 12
};

// 91: every slot a BOOL.
struct ISetupjob : IBexPlugin {
    static constexpr uint32_t kClassId = 91;

    virtual BOOL BEX_CALL RegisterShellExtension() = 0;    // slot 3
    virtual BOOL BEX_CALL Nothing4() = 0;                  // slot 4
    virtual BOOL BEX_CALL AfterInstall() = 0;              // slot 5
    virtual BOOL BEX_CALL Nothing6() = 0;                  // slot 6
    virtual BOOL BEX_CALL Nothing7() = 0;                  // slot 7
    virtual BOOL BEX_CALL UnregisterShellExtension() = 0;  // slot 8
    virtual BOOL BEX_CALL Uninstall() = 0;                 // slot 9
};

// 403
struct IMiscJob : IBexPlugin {
    static constexpr uint32_t kClassId = 403;

    virtual LONG BEX_CALL IsSupported(const wchar_t* name) = 0;  // slot 3
    // Slot 4: four arguments, all ignored; always 0.
    virtual LONG BEX_CALL CheckRecommendAndUpdateCondition(void* a, void* b, void* c, void* d) = 0;
    // Slot 5: 1 when a condition holds and `out` was filled.
    virtual LONG BEX_CALL CheckRecommendAndUpdateCondition2(uint32_t involveMask, const wchar_t* adIdFile,
                                                           RecommendResult* out) = 0;
    // Slot 6: 1 when the file was written completely.
    virtual LONG BEX_CALL WriteAdIdToFile(const wchar_t* path, uint32_t adId) = 0;
};

}  // namespace setup
