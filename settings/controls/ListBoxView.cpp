#include "settings/controls/ListBoxView.h"

namespace settings {

TListRowSkin& ListRowSkin() {
    static TListRowSkin skin;
    return skin;
}

}  // namespace settings
