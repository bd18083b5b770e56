// Every web address the programs and plug-ins use, in one place. Each has a compiled-in
// default; the environment variable CORVALLE_SERVICE_BASE (for example
// "http://127.0.0.1:8080"), when set, replaces the scheme and host of all of
// them and keeps their paths, so a test or a staging set-up can point the
// whole program at another server.
#pragma once

#include <string>

// The plug-ins send their statistics to `Statistics` too. They read the
// override in the process that hosts them.
enum class Service {
    Statistics,
    Weather,
    HomePage,
    UserGuide,
    UpdateInfo,     // update information of installed software
    Catalog,        // software catalogue pages
    MobileCatalog,  // the catalogue's mobile pages
    InterfaceServer // searches of the software list
};

// The address without a trailing '/', ready for a path to be appended.
std::wstring ServiceAddress(Service service);

// `address` with its scheme and host replaced by `base` (when `base` is not
// empty); the path, if any, is kept.
std::wstring RebaseAddress(const std::wstring& address, const std::wstring& base);
