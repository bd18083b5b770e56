#include "companion/actions/action_base.h"

#include <vector>

#include "companion/system/paths.h"
#include "companion/system/text_utils.h"

namespace companion {

std::wstring PickAlternative(const std::wstring& text, DWORD tick) {
    std::vector<std::wstring> pieces;
    if (SplitString(text, L"|", pieces) != 0 || pieces.empty()) return text;
    return pieces[tick % pieces.size()];
}

int CapAnimationCount(int count) {
    return count >= 1 && count <= 199 ? count : 0;
}

std::wstring CActionBase::GetTipText() {
    if (rawTipText_.empty()) rawTipText_ = env_.ReadActionString(section_, L"tiptext");
    return PickAlternative(rawTipText_, env_.TickCount());
}

int CActionBase::CachedNumber(int& cache, const wchar_t* key) {
    if (cache == 0) cache = ToInt(env_.ReadActionString(section_, key));
    return cache;
}

HBITMAP CActionBase::GetBitmap() {
    if (!strip_) strip_ = env_.LoadStrip(env_.ReadActionString(section_, L"png"));
    return strip_.Get();
}

int CActionBase::OnDone() {
    strip_.Reset();
    env_.StopSound();
    return 0;
}

void CActionBase::StartAlertSound() {
    if (!settings_.UseWiseAlertRing.load()) return;
    const std::wstring ring = settings_.Ring.Get();
    if (!ring.empty() && GetPathType(ring.c_str()) == 1) env_.PlaySound(ring);
}

}  // namespace companion
