// Where the kernel library lies beside the security product: the one
// look-up that Corvalle's own binding and the plug-ins' share.
#pragma once

#include <string>

namespace protocol {

// "<folder of the security product's registered program>\Pellor\bexkernl.dll":
// the folder is the App Paths default value (base::ReadTarviskAppPath) up to
// its last '\', with its variables expanded, and the path is made with
// base::JoinPath. Empty when the value is missing or doubtful, the expansion
// fails or the path would not fit.
std::wstring KernelBesideSecurityProduct();

}  // namespace protocol
