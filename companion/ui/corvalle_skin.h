// Corvalle's skin: the resource ids of its pictures, icons and cursors (in
// the program's resources) and how the toolkit cuts each picture.
#pragma once

#include <windows.h>

namespace companion {

enum CorvalleSkinId : UINT {
    kBexIconBig = 107,
    kBexIconApp = 108,
    kBexTipBubble = 110,
    kBexCountdownBack = 111,
    kBexCountdownButton = 112,
    kBexCloseButton = 113,
    kBexCountdownPicture = 114,
    kBexSpare115 = 115,
    kBexRestShade = 116,
    kBexRestExit = 117,
    kBexRestPlay = 118,
    kBexRestPanel = 119,
    kBexRestPicture = 120,
    kBexChooserButton = 121,
    kBexChooserBack = 122,
    kBexMascotStanding = 130,
    kBexCursorMascot = 132,
    kBexCursorDrag = 133,
    kBexTipTextBack = 134,
    kBexChooserTitle = 135,
    kBexNeckClose = 136,
    kBexNavEyeProtect = 137,
    kBexNavSchedule = 138,
    kBexNavShutdown = 139,
    kBexNavSetting = 140,
    kBexFirstRunTip = 141,
    kBexNavWeather = 142,
    kBexCheckBox = 143,
};

// Hands Corvalle's skin set to the toolkit; the program does it at its start.
void RegisterCorvalleSkin();

}  // namespace companion
