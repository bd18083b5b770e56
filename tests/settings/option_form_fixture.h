// The fixture of the tests that open the settings form: each test starts with
// its own Corvalle.ini (or none) and a stand-in for Corvalle's window, and
// puts the file back afterwards. A test that changes more of the prefix
// saves and restores it in SaveState / RestoreState.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/app/FrmOption.h"
#include "settings/model/SettingsFile.h"
#include "tests/settings/test_support.h"

namespace settingstest {

using namespace settings;

class OptionFormFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ::SetCursorPos(0, 0);
        path_ = SettingsFilePath();
        ASSERT_FALSE(path_.empty());
        fileBackup_.emplace(path_);
        ::CreateDirectoryW(path_.substr(0, path_.rfind(L'\\')).c_str(), nullptr);
        SaveState();
        standIn_ = std::make_unique<StandInCorvalle>(path_);
        ASSERT_TRUE(standIn_->Start());
    }
    void TearDown() override {
        form_.reset();
        standIn_.reset();
        Pump(10);
        RestoreState();
        fileBackup_.reset();
    }
    // Prefix state beyond the settings file, saved before the stand-in
    // starts and restored after the form is gone.
    virtual void SaveState() {}
    virtual void RestoreState() {}

    // Writes the settings file from lines (ANSI, code page 936).
    void Fixture(const std::vector<std::wstring>& lines) {
        std::wstring text;
        for (const auto& l : lines) text += l + L"\r\n";
        ASSERT_TRUE(WriteFixture(path_, text, Encoding::Ansi936));
    }
    std::wstring Get(const wchar_t* section, const wchar_t* key) { return Profile(path_, section, key); }

    std::wstring path_;
    std::optional<PathBackup> fileBackup_;
    std::unique_ptr<StandInCorvalle> standIn_;
    std::unique_ptr<TFormCorvalleOption> form_;
    int terminated_ = 0;
};

}  // namespace settingstest
