// Every web address Corvalle uses, in one place. Each has a compiled-in
// default; the environment variable CORVALLE_SERVICE_BASE (for example
// "http://127.0.0.1:8080"), when set, replaces the scheme and host of all of
// them and keeps their paths, so a test or a staging set-up can point the
// whole program at another server.
#pragma once

#include <string>

enum class Service { Statistics, Weather, HomePage, UserGuide };

// The address without a trailing '/', ready for a path to be appended.
std::wstring ServiceAddress(Service service);

// `address` with its scheme and host replaced by `base` (when `base` is not
// empty); the path, if any, is kept.
std::wstring RebaseAddress(const std::wstring& address, const std::wstring& base);
