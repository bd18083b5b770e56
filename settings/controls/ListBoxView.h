// The pictures the rows of the reminder and shutdown lists are painted
// with, shared by both lists: the row backgrounds, the state buttons and
// the two small digit clocks. The skin loader fills them once.
#pragma once

#include "settings/controls/GraphicTime.h"
#include "settings/controls/QGraphics.h"

namespace settings {

// Frame order of the row buttons' strips.
enum TRowButtonFrame { rbNormal = 0, rbHover = 1, rbPressed = 2, rbDisabled = 3 };
// Frame order of the row background strip.
enum TRowBackFrame { rbkPressed = 0, rbkHover = 1, rbkOther = 2 };

struct TListRowSkin {
    TQRGBAList RowBack;     // "bg_list_select"
    TQRGBAList Play;        // "btn_play"
    TQRGBAList Pause;       // "btn_pause"
    TQRGBAList Delete;      // "btn_delete"
    TQRGBAList Suspension;  // "btnsuspension"
    TGraphicTime ActiveClock;   // "number_01": digits of active rows, with "-"
    TGraphicTime ExpiredClock;  // "number_02": digits of expired rows

    // Frame `frame` of `strip`, or null when the strip is shorter.
    static const TQRGBA* Frame(const TQRGBAList& strip, int frame) { return strip.Items(frame); }
};

// The shared row pictures of the process.
TListRowSkin& ListRowSkin();

}  // namespace settings
