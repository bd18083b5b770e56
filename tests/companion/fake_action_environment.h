// A scripted world for the reminder actions: the test moves the clock and the
// calendar, says when the user is busy, and reads back what was played.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "companion/actions/action_environment.h"

class FakeActionEnvironment : public companion::IActionEnvironment {
public:
    FakeActionEnvironment() {
        SetDate(2026, 12, 9);
        now.wHour = 10;
    }

    DWORD TickCount() override { return tick; }
    SYSTEMTIME LocalTime() override { return now; }
    int64_t UnixTime() override { return unixTime; }
    bool IsUserBusy() override {
        ++busyQuestions;
        return busy;
    }
    void PlaySound(const std::wstring& path) override { played.push_back(path); }
    void StopSound() override { ++stops; }
    std::wstring ReadActionString(const wchar_t* section, const wchar_t* key) override {
        ++iniReads;
        const auto found = ini.find({section, key});
        return found == ini.end() ? std::wstring() : found->second;
    }
    int RunDownloader(const std::wstring& url, DWORD timeoutMs) override {
        downloads.push_back(url);
        downloadTimeout = timeoutMs;
        if (onDownload) onDownload();
        return downloadExitCode;
    }
    base::Bitmap LoadStrip(const std::wstring& fileName) override {
        loadedStrips.push_back(fileName);
        if (fileName.empty()) return base::Bitmap();
        return base::Bitmap(::CreateBitmap(4, 4, 1, 32, nullptr));
    }
    int CpuIdlePercent() override {
        ++idleQuestions;
        return idlePercent;
    }
    bool SystemDiskShort() override {
        ++diskQuestions;
        return diskShort;
    }

    void SetTime(WORD hour, WORD minute, WORD second = 0) {
        now.wHour = hour;
        now.wMinute = minute;
        now.wSecond = second;
    }
    // Also sets the day of the week, as the system would.
    void SetDate(WORD year, WORD month, WORD day) {
        now.wYear = year;
        now.wMonth = month;
        now.wDay = day;
        FILETIME ft{};
        SYSTEMTIME midnight{};
        midnight.wYear = year;
        midnight.wMonth = month;
        midnight.wDay = day;
        if (::SystemTimeToFileTime(&midnight, &ft) && ::FileTimeToSystemTime(&ft, &midnight))
            now.wDayOfWeek = midnight.wDayOfWeek;
    }
    void Set(const wchar_t* section, const wchar_t* key, const wchar_t* value) { ini[{section, key}] = value; }

    DWORD tick = 1000;
    SYSTEMTIME now{};
    int64_t unixTime = 1796810400;  // 2026-12-09 10:00 UTC
    bool busy = false;
    int busyQuestions = 0;
    std::vector<std::wstring> played;
    int stops = 0;
    int iniReads = 0;
    std::vector<std::wstring> loadedStrips;
    std::vector<std::wstring> downloads;
    DWORD downloadTimeout = 0;
    int downloadExitCode = 0;
    std::function<void()> onDownload;
    int idlePercent = 100;
    int idleQuestions = 0;
    bool diskShort = false;
    int diskQuestions = 0;
    std::map<std::pair<std::wstring, std::wstring>, std::wstring> ini;
};
