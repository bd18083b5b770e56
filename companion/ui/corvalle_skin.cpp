#include "companion/ui/corvalle_skin.h"

#include "toolkit/bex_bitmap.h"

namespace companion {

namespace {

constexpr toolkit::BexSkinPicture Whole(UINT id, WORD frames) {
    return {id, toolkit::BexSkinPicture::kWhole, frames, 0, 0, 0, 0};
}
constexpr toolkit::BexSkinPicture ThreePart(UINT id, WORD frames) {
    return {id, toolkit::BexSkinPicture::kThreePart, frames, 0, 0, 0, 0};
}
constexpr toolkit::BexSkinPicture NinePart(UINT id, int left, int right, int top, int bottom) {
    return {id, toolkit::BexSkinPicture::kNinePart, 1, left, right, top, bottom};
}

constexpr toolkit::BexSkinPicture kPictures[] = {
    NinePart(kBexTipBubble, 14, 147, 8, 57),
    ThreePart(kBexCountdownButton, 3),
    Whole(kBexCloseButton, 3),
    Whole(kBexCountdownBack, 1),
    Whole(kBexCountdownPicture, 1),
    Whole(kBexSpare115, 1),
    Whole(kBexRestShade, 1),
    Whole(kBexRestPanel, 1),
    Whole(kBexRestPlay, 3),
    Whole(kBexRestExit, 3),
    Whole(kBexRestPicture, 1),
    Whole(kBexMascotStanding, 2),
    NinePart(kBexTipTextBack, 3, 5, 3, 5),
    Whole(kBexChooserTitle, 1),
    // Resource 136 is one strip: the neck dialog's four-frame close button.
    Whole(kBexNeckClose, 4),
    // The navigation strips hold three frames side by side, but their
    // windows cut them themselves (width / 3): one frame here.
    Whole(kBexNavEyeProtect, 1),
    Whole(kBexNavSchedule, 1),
    Whole(kBexNavShutdown, 1),
    Whole(kBexNavSetting, 1),
    Whole(kBexFirstRunTip, 1),
    Whole(kBexNavWeather, 1),
    Whole(kBexCheckBox, 9),
    NinePart(kBexChooserBack, 140, 145, 35, 77),
    ThreePart(kBexChooserButton, 4),
};

}  // namespace

void RegisterCorvalleSkin() {
    toolkit::BexSkinSet set;
    set.pictures = kPictures;
    set.count = sizeof(kPictures) / sizeof(kPictures[0]);
    set.appIconId = kBexIconApp;
    // The chooser's skin is the only message-box skin the program has.
    set.messageBoxBack = kBexChooserBack;
    set.messageBoxClose = kBexCloseButton;
    set.messageBoxButton = kBexChooserButton;
    toolkit::RegisterBexSkinSet(set);
}

}  // namespace companion
