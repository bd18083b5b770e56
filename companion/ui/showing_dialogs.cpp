#include "companion/ui/showing_dialogs.h"

namespace {

// Until the skinned dialogs exist every countdown is declined, so nothing is
// shut down and no rest mode starts.
class PendingDialogs : public IShowingDialogs {
public:
    INT_PTR RunCountdown(CountdownMode) override { return 1; }
    bool RunFullScreenRest(int, void (*)(void*), void*) override { return false; }
    void RunNeckExercise() override {}
    void RunEyeExercise() override {}
    void RunFirstRunChooser(HWND) override {}
};

}  // namespace

IShowingDialogs& SystemShowingDialogs() {
    static PendingDialogs dialogs;
    return dialogs;
}
