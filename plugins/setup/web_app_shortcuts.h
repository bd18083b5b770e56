// The desktop shortcuts of the desktop product's web apps, found through
// the app centre's data library and removed at uninstall.
#pragma once

#include <cstdint>
#include <string>

#include "protocol/outside_exports.h"

namespace setup {

// The two command lines a web app's shortcut may carry, upper-cased and
// trimmed; empty when the app has no launch line (no folder, unknown kind,
// no program).
struct WebAppLaunch {
    std::wstring launch;
    std::wstring second;
};
// `record` is a web-app record of the data library.
WebAppLaunch GetWebAppLaunch(protocol::outside::app_centre::Record* record, uint32_t id);

// Deletes the desktop shortcuts whose command line is one of the app's.
void DeleteWebAppShortcuts(protocol::outside::app_centre::Data* dataInterface, uint32_t id);
// Every web app of the data library; then the library is let go, so a
// later call loads it afresh.
void RemoveWebAppShortcuts();

}  // namespace setup
