// The security product's registration, as the plug-ins name it.
#pragma once

#include "base/app_paths.h"

namespace plugin {
using appaths::ReadTarviskAppPath;
using appaths::ReadTarviskFolder;
}  // namespace plugin
