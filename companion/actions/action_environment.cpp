#include "companion/actions/action_environment.h"

#include <ctime>

#include "companion/system/disk_cpu.h"
#include "companion/system/screen.h"
#include "companion/system/shared_settings.h"
#include "companion/system/player_process.h"
#include "companion/system/skin_strip.h"

namespace companion {

namespace {

class SystemEnvironment : public IActionEnvironment {
public:
    DWORD TickCount() override { return ::GetTickCount(); }
    SYSTEMTIME LocalTime() override {
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        return now;
    }
    int64_t UnixTime() override { return static_cast<int64_t>(::_time64(nullptr)); }
    bool IsUserBusy() override { return IsFullScreenAppRunning() || IsMonitorActive(); }
    void PlaySound(const std::wstring& path) override { PlaySoundFile(path.c_str()); }
    void StopSound() override { StopSoundHelper(); }
    std::wstring ReadActionString(const wchar_t* section, const wchar_t* key) override {
        std::wstring value;
        companion::ReadActionString(value, section, key);
        return value;
    }
    int RunDownloader(const std::wstring& url, DWORD timeoutMs) override { return companion::RunDownloader(url, timeoutMs); }
    base::Bitmap LoadStrip(const std::wstring& fileName) override { return LoadSkinStrip(fileName); }
    int CpuIdlePercent() override { return GetCpuIdlePercent(); }
    bool SystemDiskShort() override {
        uint64_t freeBytes = 0;
        std::wstring message;
        return CheckSystemDiskSpace(freeBytes, message) == 1;
    }
};

}  // namespace

IActionEnvironment& SystemActionEnvironment() {
    static SystemEnvironment environment;
    return environment;
}

}  // namespace companion
