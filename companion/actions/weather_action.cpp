#include "companion/actions/weather_action.h"

#include <cwchar>

#include "companion/actions/action_sections.h"
#include "companion/system/paths.h"
#include "base/service_addresses.h"
#include "companion/system/text_utils.h"
#include "base/handles.h"

namespace companion {

namespace {

constexpr uint32_t kStartDelayMs = 30000;
// A forecast is a few kilobytes; anything far larger is not one.
constexpr DWORD kMaxAnswerBytes = 1u << 20;

const wchar_t* const kWeatherTexts[] = {
    L"天气晴朗,%s,出门注意防晒",         L"今天多云,%s,保持良好心情哦",     L"今天阴,%s,保持良好心情哦",
    L"今天阵雨,%s,别忘记带伞！",         L"今天雷阵雨,%s,别忘记带伞！",     L"今天雷雨冰雹,%s,别忘记带伞！",
    L"今天雨夹雪,%s,别忘记带伞！",       L"今天小雨,%s,别忘记带伞！",       L"今天中雨,%s,别忘记带伞！",
    L"今天大雨,%s,别忘记带伞！",         L"今天暴雨,%s,别忘记带伞！",       L"今天大暴雨,%s,别忘记带伞！",
    L"今天特大暴雨,%s,别忘记带伞！",     L"今天阵雪,%s",                    L"今天小雪,%s",
    L"今天中雪,%s",                      L"今天暴雪,%s",                    L"今天大雪,%s",
    L"今天雾,%s,若需出行，注意路况。",   L"今天冻雨,%s,若需出行，注意路况。", L"今天沙尘暴,%s,出门别忘带口罩！",
    L"今天小雨转中雨,%s,别忘记带伞！",   L"今天中雨转大雨,%s,别忘记带伞！", L"今天大雨转暴雨,%s,别忘记带伞！",
    L"今天暴雨,%s,别忘记带伞！",         L"今天特大暴雨,%s,没事最好别出门！", L"今天小雪转中雪,%s",
    L"今天中雪转大雪,%s",                L"今天大雪转暴雪,%s",              L"今天浮尘,%s,出门别忘带口罩！",
    L"今天扬沙,%s,出门别忘带口罩！",     L"今天强沙尘暴,%s,没事最好别出门！",
};

bool IsSignedInteger(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && text[i] == L' ') ++i;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) ++i;
    const size_t digits = i;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') ++i;
    return i > digits;
}

bool ReadAnswerFile(const std::wstring& path, std::string& bytes) {
    base::FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxAnswerBytes) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) return false;
    bytes.resize(read);
    return true;
}

}  // namespace

std::wstring WeatherText(int code) {
    if (code < 0 || code >= static_cast<int>(sizeof(kWeatherTexts) / sizeof(kWeatherTexts[0]))) return std::wstring();
    return kWeatherTexts[code];
}

std::wstring TemperaturePhrase(int t) {
    if (t >= 35) return L"气温很高,谨防中暑";
    if (t >= 28) return L"气温偏高";
    if (t >= 24) return L"气温适宜";
    if (t >= 10) return L"气温凉爽";
    if (t >= 4) return L"气温不高";
    if (t >= -4) return L"气温微冷，注意防寒";
    return L"气温寒冷，注意保暖";
}

std::wstring WeatherQueryUrl(bool customCity, const std::wstring& cityCode) {
    std::wstring url = ServiceAddress(Service::Weather) + L"/sed_api_weather_info.php?app=firewall";
    bool digits = !cityCode.empty() && cityCode.size() <= 9;
    for (wchar_t c : cityCode) digits = digits && c >= L'0' && c <= L'9';
    if (customCity && digits) url += L"&code=" + cityCode;
    return url + L"&xml";
}

bool BuildWeatherTip(const std::wstring& answer, const SYSTEMTIME& today, std::wstring& tip) {
    wchar_t dateTag[64] = {};
    std::swprintf(dateTag, 64, L"<date>%.4d-%.2d-%.2d</date>", today.wYear, today.wMonth, today.wDay);
    const size_t at = answer.find(dateTag);
    if (at == std::wstring::npos) return false;
    const std::wstring code = TextBetween(answer, L"<img>", L"</img>", at);
    std::wstring high = TextBetween(answer, L"<htemp>", L"</htemp>", at);
    const std::wstring low = TextBetween(answer, L"<ltemp>", L"</ltemp>", at);
    if (high.empty()) high = low;
    if (high.empty() || !IsSignedInteger(code) || !IsSignedInteger(high)) return false;
    std::wstring sentence = WeatherText(ToInt(code));
    const size_t slot = sentence.find(L"%s");
    if (slot != std::wstring::npos) sentence.replace(slot, 2, TemperaturePhrase(ToInt(high)));
    tip = sentence;
    return true;
}

CActionWeather::CActionWeather(IActionEnvironment& env, SharedSettings& settings)
    : CActionBase(sections::kWeather, env, settings), start_(env.TickCount()) {}

std::atomic<long>& CActionWeather::WeatherFetched() {
    static std::atomic<long> fetched{0};
    return fetched;
}

std::wstring CActionWeather::GetTipText() {
    if (tipText_.empty()) tipText_ = Env().ReadActionString(Section(), L"tiptext");
    return tipText_;
}

bool CActionWeather::CheckCondition() {
    if (!RemindersOn()) return false;
    if (Env().TickCount() - start_ <= kStartDelayMs || shown_ || Env().IsUserBusy()) return false;
    if (!Fetch()) return false;
    shown_ = true;
    return true;
}

bool CActionWeather::Fetch() {
    if (WeatherFetched().exchange(1) != 0) return false;
    if (!tipText_.empty()) return true;
    std::wstring temp;
    if (!GetTempDir(temp)) return false;
    const SYSTEMTIME today = Env().LocalTime();
    wchar_t name[32] = {};
    std::swprintf(name, 32, L"%.4d%.2d%.2d.xml", today.wYear, today.wMonth, today.wDay);
    const std::wstring url = WeatherQueryUrl(Settings().CustomWeather.load(), Settings().CityCode.Get());
    if (Env().RunDownloader(url, kDownloadTimeoutMs) != 0) return false;
    std::string bytes;
    if (GetPathType((temp + name).c_str()) != 1 || !ReadAnswerFile(temp + name, bytes)) return false;
    return BuildWeatherTip(ToWideFromCodePage(bytes, CP_ACP), today, tipText_);
}

}  // namespace companion
