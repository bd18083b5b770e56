#include "companion/actions/tip_markers.h"

#include <cstdint>
#include <cwchar>
#include <string_view>

#include "base/numbers.h"
#include "protocol/corvalle_ini.h"

namespace companion {

std::wstring ShutdownTip(int style) {
    return kShutdownMarker + std::to_wstring(style);
}

int ShutdownTipStyle(const std::wstring& tip) {
    const size_t length = std::wcslen(kShutdownMarker);
    if (tip.compare(0, length, kShutdownMarker) != 0) return -1;
    // The whole rest, one digit as ShutdownTip writes it.
    const std::wstring_view digit = std::wstring_view(tip).substr(length);
    uint64_t style = 0;
    if (digit.size() != 1 || !base::ParseDigits(digit, style) ||
        style >= static_cast<uint64_t>(protocol::kShutDownStyleCount))
        return -1;
    return static_cast<int>(style);
}

std::wstring CustomTip(const std::wstring& text) {
    return kCustomMarker + StripMarkers(text);
}

std::wstring StripMarkers(std::wstring text) {
    static const wchar_t* const kMarkers[] = {kShutdownMarker, kEyeGuardianMarker, kCustomMarker, kCpuGpuMarker};
    // Taking one marker out can join the halves of another.
    for (bool found = true; found;) {
        found = false;
        for (const wchar_t* marker : kMarkers) {
            for (size_t at; (at = text.find(marker)) != std::wstring::npos;) {
                text.erase(at, std::wcslen(marker));
                found = true;
            }
        }
    }
    return text;
}

}  // namespace companion
