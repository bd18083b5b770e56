#include "companion/actions/calendar_actions.h"

#include <cwchar>

#include "companion/actions/action_sections.h"
#include "companion/actions/festival_tables.h"

namespace companion {

namespace {

constexpr wchar_t kBreakfastTexts[] =
    L"早餐时间到了,记得吃早餐哦~|今天您吃早餐了木有？|不管今天吃木吃，明天的早餐一定要吃~|远离胆结石，天天吃早餐~";
constexpr wchar_t kLunchTexts[] =
    L"人是铁，饭是钢，吃了才能硬梆梆 ~|再忙也不要忘记吃午饭~|中午不吃饱，下午要饿鸟~|甭管中餐西餐，吃饱才是硬道理~";
constexpr wchar_t kDinnerTexts[] =
    L"晚饭、晚饭、吃少一点有益健康~|晚饭，不管您吃没吃，反正我吃了~|亲，该吃晚饭了~";

constexpr uint32_t kSleepQuietMs = 21600000;  // six hours
constexpr uint32_t kFestivalDelayMs = 20000;

// hh:30 of the first hour to hh:30 of the next, the last minute included.
bool InMealWindow(const SYSTEMTIME& t, WORD firstHour) {
    return (t.wHour == firstHour && t.wMinute >= 30) || (t.wHour == firstHour + 1 && t.wMinute <= 30);
}

}  // namespace

std::wstring FormatDate(const SYSTEMTIME& date) {
    wchar_t text[16] = {};
    std::swprintf(text, 16, L"%.4d%.2d%.2d", date.wYear, date.wMonth, date.wDay);
    return text;
}

CActionVynLoad::CActionVynLoad(IActionEnvironment& env, SharedSettings& settings)
    : CActionBase(sections::kLoad, env, settings) {}

bool CActionVynLoad::CheckCondition() {
    if (!RemindersOn() || shown_) return false;
    shown_ = true;
    return true;
}

CActionVynMeal::CActionVynMeal(IActionEnvironment& env, SharedSettings& settings)
    : CActionBase(sections::kMeal, env, settings), flagDate_(FormatDate(env.LocalTime())) {}

void CActionVynMeal::ResetAtNewDay(const SYSTEMTIME& now) {
    const std::wstring today = FormatDate(now);
    if (today == flagDate_) return;
    breakfastPending_ = lunchPending_ = dinnerPending_ = true;
    flagDate_ = today;
}

bool CActionVynMeal::CheckCondition() {
    const SYSTEMTIME now = Env().LocalTime();
    if (!RemindersOn()) return false;
    ResetAtNewDay(now);
    struct Meal {
        bool& pending;
        WORD firstHour;
        const wchar_t* texts;
    } meals[] = {{breakfastPending_, 7, kBreakfastTexts}, {lunchPending_, 11, kLunchTexts},
                 {dinnerPending_, 17, kDinnerTexts}};
    for (Meal& meal : meals) {
        if (!meal.pending || !InMealWindow(now, meal.firstHour)) continue;
        // A busy user misses this poll; the meal stays pending for its window.
        if (Env().IsUserBusy()) return false;
        tipText_ = meal.texts;
        meal.pending = false;
        return true;
    }
    return false;
}

std::wstring CActionVynMeal::GetTipText() {
    return PickAlternative(tipText_, Env().TickCount());
}

void CActionVynMeal::LoadMealAnimations() {
    if (!records_.empty()) return;
    const int count = CapAnimationCount(ToInt(Env().ReadActionString(Section(), L"count")));
    for (int i = 0; i < count; ++i) {
        auto number = [&](const wchar_t* key) {
            wchar_t name[32] = {};
            std::swprintf(name, 32, L"%ls%d", key, i);
            return Env().ReadActionString(Section(), name);
        };
        AnimationRecord record;
        record.animationTime = ToInt(number(L"animationtime"));
        record.frames = ToInt(number(L"frames"));
        record.frameTime = ToInt(number(L"frametime"));
        record.cx = ToInt(number(L"cx"));
        record.cy = ToInt(number(L"cy"));
        record.bitmap = Env().LoadStrip(number(L"png"));
        records_.push_back(std::move(record));
    }
    if (!records_.empty()) chosen_ = Env().TickCount() % records_.size();
}

const CActionVynMeal::AnimationRecord* CActionVynMeal::Chosen() {
    LoadMealAnimations();
    return chosen_ < records_.size() ? &records_[chosen_] : nullptr;
}

HBITMAP CActionVynMeal::GetBitmap() {
    const AnimationRecord* r = Chosen();
    return r ? r->bitmap.Get() : nullptr;
}
int CActionVynMeal::GetAnimationTime() {
    const AnimationRecord* r = Chosen();
    return r ? r->animationTime : 0;
}
int CActionVynMeal::GetFrames() {
    const AnimationRecord* r = Chosen();
    return r ? r->frames : 0;
}
int CActionVynMeal::GetFrameTime() {
    const AnimationRecord* r = Chosen();
    return r ? r->frameTime : 0;
}
int CActionVynMeal::GetCx() {
    const AnimationRecord* r = Chosen();
    return r ? r->cx : 0;
}
int CActionVynMeal::GetCy() {
    const AnimationRecord* r = Chosen();
    return r ? r->cy : 0;
}

int CActionVynMeal::OnDone() {
    // The next showing loads the set again and chooses anew.
    records_.clear();
    chosen_ = 0;
    Env().StopSound();
    return 0;
}

CActionSleep::CActionSleep(IActionEnvironment& env, SharedSettings& settings)
    : CActionBase(sections::kSleep, env, settings) {}

bool CActionSleep::CheckCondition() {
    const SYSTEMTIME now = Env().LocalTime();
    if (!RemindersOn()) return false;
    if (marked_ && Env().TickCount() - lastMark_ > kSleepQuietMs) {
        marked_ = false;
        fired_ = false;
    }
    if (fired_) return false;
    if ((now.wHour == 23 && now.wMinute >= 30) || now.wHour < 4) {
        lastMark_ = Env().TickCount();
        marked_ = true;
        pending_ = true;
    }
    if (!pending_ || Env().IsUserBusy()) return false;
    pending_ = false;
    fired_ = true;
    StartAlertSound();
    return true;
}

CActionFestival::CActionFestival(IActionEnvironment& env, SharedSettings& settings)
    : CActionBase(sections::kFestival, env, settings),
      start_(env.TickCount()),
      lookupDate_(FormatDate(env.LocalTime())) {}

bool CActionFestival::CheckCondition() {
    if (!RemindersOn()) return false;
    const SYSTEMTIME now = Env().LocalTime();
    if (lookedUp_) {
        const std::wstring today = FormatDate(now);
        if (today == lookupDate_) return false;
        lookupDate_ = today;
        lookedUp_ = false;
    }
    if (Env().TickCount() - start_ <= kFestivalDelayMs || Env().IsUserBusy()) return false;
    lookedUp_ = true;
    const std::wstring name = LookUpFestival(now);
    if (name.empty()) return false;
    tipText_ = L"今天是" + name + L"哦";
    return true;
}

}  // namespace companion
