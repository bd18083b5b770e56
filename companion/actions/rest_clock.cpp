#include "companion/actions/rest_clock.h"

namespace companion {

bool CRestClock::CoveredByLastRest(int64_t unixTime) const {
    const int64_t begin = settings_.RestBegin.load();
    const int64_t end = settings_.RestEnd.load();
    if (begin == 0 || end == 0) return false;
    return unixTime > begin && unixTime < end;
}

}  // namespace companion
