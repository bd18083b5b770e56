#include "companion/ui/tip_link_targets.h"

#include "protocol/window_messages.h"

namespace companion {

void CTipLinkTargets::PostToMainWindow(UINT msg, WPARAM wParam, LPARAM lParam) {
    ::PostMessageW(main_, msg, wParam, lParam);
}

void CTipLinkTargets::ReplaceShownTipText(const wchar_t* text) {
    ::SendMessageW(tipText_, WM_SET_TIP_TEXT, reinterpret_cast<WPARAM>(text), 0);
}

}  // namespace companion
