// Stand-in for the client-id library. Every call is logged to CID_LOG (so
// tests count calls); the answer is CLIENT_ID when set (written without a
// terminator when CLIENT_ID_UNTERMINATED is set, to test the caller's
// guard), and a failure otherwise.
#include <cwchar>
#include <type_traits>

#include "protocol/outside_exports.h"
#include "tests/doubles/outside_log.h"

extern "C" __declspec(dllexport) int OUTSIDE_API GetCIDW(wchar_t* buffer, int capacity) {
    AppendLogLine(L"CID_LOG", L"GetCIDW");
    if (!buffer || capacity <= 0) return 0;
    if (::GetEnvironmentVariableW(L"CLIENT_ID_UNTERMINATED", nullptr, 0) != 0) {
        for (int i = 0; i < capacity; ++i) buffer[i] = L'x';
        return 1;
    }
    wchar_t id[256] = {};
    const DWORD len = ::GetEnvironmentVariableW(L"CLIENT_ID", id, 256);
    if (len == 0 || len >= 256 || static_cast<int>(len) >= capacity) return 0;
    std::wcscpy(buffer, id);
    return 1;
}

static_assert(std::is_same<decltype(&GetCIDW), protocol::outside::GetCidFn>::value,
              "the stand-in must match the declared calling convention");
