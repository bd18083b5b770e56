// Stand-in for the statistics library: logs each URL to the file named by
// STATS_LOG.
#include <type_traits>

#include "protocol/outside_exports.h"
#include "tests/doubles/outside_log.h"

extern "C" __declspec(dllexport) int OUTSIDE_API ProcessStats(const wchar_t* url) {
    AppendLogLine(L"STATS_LOG", url);
    return 1;
}

static_assert(std::is_same<decltype(&ProcessStats), protocol::outside::ProcessStatsFn>::value,
              "the stand-in must match the declared calling convention");
