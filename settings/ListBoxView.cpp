#include "settings/ListBoxView.h"

TListRowSkin& ListRowSkin() {
    static TListRowSkin skin;
    return skin;
}
