// Stand-in for the web-identify library: reports the state found in the
// environment variable WEB_IDENTIFY_STATE (0 when unset).
#include <windows.h>

#include <cwchar>
#include <type_traits>

#include "protocol/outside_exports.h"

extern "C" __declspec(dllexport) int OUTSIDE_API GetWebIdentifyState() {
    wchar_t value[16] = {};
    if (!::GetEnvironmentVariableW(L"WEB_IDENTIFY_STATE", value, 16)) return 0;
    return static_cast<int>(std::wcstol(value, nullptr, 10));
}

static_assert(std::is_same<decltype(&GetWebIdentifyState), protocol::outside::GetWebIdentifyStateFn>::value,
              "the stand-in must match the declared calling convention");
