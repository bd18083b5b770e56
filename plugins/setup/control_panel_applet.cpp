#include "plugins/setup/control_panel_applet.h"

#include <windows.h>
#include <shlwapi.h>

namespace setup {

const wchar_t kDontLoadKey[] = L"Control Panel\\don't load";
const wchar_t kAppletName[] = L"ZubPellor.cpl";

void ApplyControlPanelApplet(bool show) {
    if (show) {
        ::SHDeleteValueW(HKEY_CURRENT_USER, kDontLoadKey, kAppletName);
    } else {
        // The registry adds a terminator to a text whose counted data is
        // followed by one; a character other than NUL after "NO" keeps the
        // value at exactly its four bytes.
        static const wchar_t kNo[] = {L'N', L'O', L'.'};
        ::SHSetValueW(HKEY_CURRENT_USER, kDontLoadKey, kAppletName, REG_SZ, kNo, 2 * sizeof(wchar_t));
    }
}

}  // namespace setup
