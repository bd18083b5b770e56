// Run by the weather end-to-end script, beside a copy of the real player and
// with the service address pointed at a local server (CORVALLE_SERVICE_BASE).
// WEATHER_SERVER_SILENT=1 when that server never answers.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/service_addresses.h"
#include "companion/actions/weather_action.h"
#include "companion/system/player_process.h"
#include "tests/support/message_pump.h"

using namespace companion;

namespace {

bool SilentServer() {
    wchar_t value[8] = {};
    return ::GetEnvironmentVariableW(L"WEATHER_SERVER_SILENT", value, 8) && value[0] == L'1';
}

TEST(WeatherFetchTest, TheTipComesFromTheServiceThroughThePlayer) {
    if (SilentServer()) GTEST_SKIP() << "the server is silent in this run";
    SharedSettings settings;
    settings.WiseHealthAlert = true;
    settings.CustomWeather = true;
    settings.CityCode.Set(L"101010100");
    CActionWeather weather(SystemActionEnvironment(), settings);
    ASSERT_TRUE(weather.Fetch());
    EXPECT_EQ(weather.GetTipText(), L"今天多云,气温适宜,保持良好心情哦");
}

TEST(WeatherFetchTest, ASilentServerEndsThePlayerAtTheTimeOut) {
    if (!SilentServer()) GTEST_SKIP() << "the server answers in this run";
    const std::wstring url = WeatherQueryUrl(false, L"");
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(RunDownloader(url, 3000), -1);
    EXPECT_LT(::GetTickCount() - start, 10000u);
    // Ended, it may still be listed for a moment.
    EXPECT_TRUE(testsupport::WaitUntil([] { return FindSoundHelperProcess() == 0; }, 5000)) << "the player was ended";
}

}  // namespace
