#include "settings/controls/ListBoxView.h"

TListRowSkin& ListRowSkin() {
    static TListRowSkin skin;
    return skin;
}
