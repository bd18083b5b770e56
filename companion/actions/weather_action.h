// Once a run, half a minute after the start, today's weather in one sentence.
// The forecast is fetched by the player program into the dated file of the
// temporary folder, so the companion itself opens no connection.
#pragma once

#include <atomic>
#include <string>

#include "companion/actions/action_base.h"

namespace companion {

// The sentence of a weather code with "%s" for the temperature; empty for
// codes the table does not know.
std::wstring WeatherText(int code);
// The phrase for a high temperature in degrees Celsius.
std::wstring TemperaturePhrase(int celsius);
// The query URL; the city code goes in only when it is 1 to 9 ASCII digits.
std::wstring WeatherQueryUrl(bool customCity, const std::wstring& cityCode);
// Builds the tip from the service's answer for `today`; false when the answer
// has no usable entry for today. `tip` may come back empty for an unknown code.
bool BuildWeatherTip(const std::wstring& answer, const SYSTEMTIME& today, std::wstring& tip);

class CActionWeather : public CActionBase {
public:
    static constexpr DWORD kDownloadTimeoutMs = 60000;

    explicit CActionWeather(IActionEnvironment& env = SystemActionEnvironment(),
                            SharedSettings& settings = SharedSettings::Instance());
    bool CheckCondition() override;
    std::wstring GetTipText() override;
    bool Fetch();

    // One download attempt per run, successful or not.
    static std::atomic<long>& WeatherFetched();

private:
    std::wstring tipText_;
    bool shown_ = false;
    uint32_t start_;
};

}  // namespace companion
