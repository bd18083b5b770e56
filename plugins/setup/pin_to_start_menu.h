// Class 90: the manager's uninstall-software shortcut in the Start menu,
// pinned and unpinned; the update-count badge; the notification thread.
#pragma once

#include <string>

#include "plugins/common/plugin_object.h"
#include "protocol/bex_kernel.h"
#include "protocol/plugin_ref.h"
#include "plugins/setup/lumvex_interfaces.h"
#include "plugins/setup/shell_verbs.h"

namespace setup {

// The shortcut's file name, in the manager's folder and in the Start menu.
extern const wchar_t kUninstallLinkName[];

class CPinToStartMenu final
    : public plugin::PluginObject<CPinToStartMenu, IPinToStartMenu, IPinToStartMenu::kClassId, plugin::ReleaseRule::A> {
public:
    CPinToStartMenu() : CPinToStartMenu(SystemShellVerbs()) {}
    explicit CPinToStartMenu(IShellVerbSource& verbs);

    LONG BEX_CALL Pin() override;
    LONG BEX_CALL Unpin() override;
    LONG BEX_CALL ApplyPinState() override;
    LONG BEX_CALL InvokePinVerb(BOOL pin) override;
    LONG BEX_CALL RunSetupUtility(BOOL remove) override;
    LONG BEX_CALL ScanPinnedStartMenu() override;
    LONG BEX_CALL UpdateCountBadge(LONG count, const wchar_t* referencePath) override;
    // `data`: the wide path of a PNG file, as class 93 slot 6 takes it.
    LONG BEX_CALL ShowNotify(void* data, const wchar_t* pngPath, HWND window, UINT message, WPARAM wParam,
                             LPARAM lParam) override;
    LONG BEX_CALL StartNotifyThread(const wchar_t* text1, const wchar_t* text2, HWND window, UINT message,
                                    WPARAM wParam, LPARAM lParam) override;
    LONG BEX_CALL StopNotifyThread() noexcept override;

private:
    // Pinning needs a system above this code; stale pins are looked for
    // only at kStalePinSystem.
    static constexpr WORD kLastUnpinnableSystem = 8;
    static constexpr WORD kStalePinSystem = 12;

    // Every path of the manager's is built on its folder, and empty when the
    // kernel gave none that is fully qualified or when it would not fit.
    bool HasManagerFolder() const {
        return !notifyProgram_.empty() && !iconPath_.empty() && !folderShortcut_.empty();
    }
    bool CreateUninstallShortcut(const std::wstring& linkPath) const;
    void RemoveStalePins();
    void UnpinRecordedLink();
    bool InManagerFolder(const std::wstring& target) const;

    IShellVerbSource& verbs_;
    std::wstring managerFolder_;
    std::wstring notifyProgram_;
    std::wstring iconPath_;
    std::wstring startMenuShortcut_;
    std::wstring folderShortcut_;
    protocol::PluginRef<protocol::kernel::System> system_;
    WORD systemVersion_ = 0;
};

}  // namespace setup
