// The binding to the security product's web-identify library, made once per
// process; empty when the library is not installed.
#pragma once

#include "protocol/outside_exports.h"
#include "base/handles.h"

namespace companion {

struct WebIdentifyBinding {
    base::Library library;
    protocol::outside::GetWebIdentifyStateFn getState = nullptr;

    bool Bound() const { return library.Valid() && getState != nullptr; }
};

}  // namespace companion
