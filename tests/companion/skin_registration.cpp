// Linked into every test program that shows Corvalle's windows or pictures:
// they see its skin set as the program does from its start.
#include "companion/ui/corvalle_skin.h"

using namespace companion;

namespace {

[[maybe_unused]] const bool kSkinRegistered = (RegisterCorvalleSkin(), true);

}  // namespace
