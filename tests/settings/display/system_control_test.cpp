#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/display/SystemControl.h"
#include "tests/settings/recording_display.h"
#include "tests/settings/test_support.h"

using namespace settings;

using settingstest::Encoding;
using settingstest::Profile;
using settingstest::RecordingDisplay;
using Lines = std::vector<std::wstring>;

namespace {

const std::wstring kLogPixels = L"HKCU\\Control Panel\\Desktop\\LogPixels";
const std::wstring kUseDpiScaling = L"HKCU\\Software\\Microsoft\\Windows\\DWM\\UseDpiScaling";
const std::wstring kMarkerCreated = L"create HKLM\\SOFTWARE\\Tarvisk\\VynReboot";
const std::wstring kMarkerDeleted = L"delete HKLM\\SOFTWARE\\Tarvisk\\VynReboot";
const std::wstring kFFlags = L"HKCU\\Software\\Microsoft\\Windows\\Shell\\Bags\\1\\Desktop\\FFlags=549";
const std::wstring kIconSpacing = L"HKCU\\Control Panel\\Desktop\\WindowMetrics\\IconSpacing";
const std::wstring kIconVertical = L"HKCU\\Control Panel\\Desktop\\WindowMetrics\\IconVerticalspacing";
const std::wstring kShellIconSize = L"HKCU\\Control Panel\\Desktop\\WindowMetrics\\Shell Icon Size";
const std::wstring kAppliedDpi = L"HKCU\\Control Panel\\Desktop\\WindowMetrics\\AppliedDPI";
const std::wstring kFontSmoothing = L"HKCU\\Control Panel\\Desktop\\FontSmoothing";
const std::wstring kFontSmoothingType = L"HKCU\\Control Panel\\Desktop\\FontSmoothingType";
const std::wstring kFontDpi = L"HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontDPI\\LogPixels";
const std::wstring kHardwareFonts =
    L"HKLM\\SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts\\LogPixels";

std::wstring Set(const std::wstring& path, int value) { return path + L"=" + std::to_wstring(value); }
std::wstring SetText(const std::wstring& path, const std::wstring& value) { return path + L"=\"" + value + L"\""; }

// A backup of a 96-DPI 1440 x 900 display at 60 Hz, as a Vista-or-later
// machine writes it.
Lines VistaBackup(int dpi = 96, const std::wstring& solution = L"1440|900", int frequency = 60, int scaling = 0) {
    return {L"[UserMode]",
            L"DisplayFrequency=" + std::to_wstring(frequency),
            L"Solution=" + solution,
            L"DPI=" + std::to_wstring(dpi),
            L"UseDPIScaling=" + std::to_wstring(scaling),
            L"UserModeSaved=1"};
}

class SystemControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = settingstest::WorkDir() + Wide(info->test_suite_name()) + L"_" + Wide(info->name()) + L".ini";
        for (wchar_t& c : path_)
            if (c == L'/') c = L'_';
        settingstest::RemovePath(path_);
    }
    void TearDown() override { settingstest::RemovePath(path_); }

    static std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

    void Ini(const Lines& lines) {
        std::wstring text;
        for (const auto& l : lines) text += l + L"\r\n";
        ASSERT_TRUE(settingstest::WriteFixture(path_, text, Encoding::Utf16Bom));
    }
    std::wstring Get(const wchar_t* key) const { return Profile(path_, kUserModeSection, key); }
    // The [UserMode] keys in the order they stand in the file.
    Lines KeysInFile() const {
        wchar_t buffer[4096] = {};
        const DWORD n = ::GetPrivateProfileSectionW(kUserModeSection, buffer, 4096, path_.c_str());
        Lines keys;
        for (const wchar_t* line = buffer; *line && line < buffer + n; line += std::wcslen(line) + 1) {
            std::wstring key(line);
            keys.push_back(key.substr(0, key.find(L'=')));
        }
        return keys;
    }

    std::wstring path_;
    RecordingDisplay display_;
};

// ---------------------------------------------------------------- the backup

TEST_F(SystemControlTest, FirstRunWritesTheVistaBackupInOrderAndTouchesNoRegistry) {
    display_.Dwords[kLogPixels] = 120;
    display_.Dwords[kUseDpiScaling] = 1;
    display_.Width = 1280, display_.Height = 1024, display_.Frequency = 75;
    TSystemControl control(display_, path_);
    EXPECT_TRUE(control.FirstBackup());
    EXPECT_TRUE(control.BackupStored());
    EXPECT_EQ(KeysInFile(), (Lines{L"DisplayFrequency", L"Solution", L"DPI", L"UseDPIScaling", L"UserModeSaved"}));
    EXPECT_EQ(Get(L"DisplayFrequency"), L"75");
    EXPECT_EQ(Get(L"Solution"), L"1280|1024");
    EXPECT_EQ(Get(L"DPI"), L"120");
    EXPECT_EQ(Get(L"UseDPIScaling"), L"1");
    EXPECT_EQ(Get(L"UserModeSaved"), L"1");
    EXPECT_TRUE(display_.Log.empty());
    // No choice stored yet: the saved mode is the one in use.
    EXPECT_EQ(control.LastSelected(), kModeSaved);
    ASSERT_NE(control.SelectedMode(), nullptr);
    EXPECT_EQ(control.SelectedMode()->Kind, kModeSaved);
}

TEST_F(SystemControlTest, FirstRunWritesTheXpBackupFromWhereXpKeepsTheDpi) {
    display_.Vista = false;
    display_.Dwords[kAppliedDpi] = 120;
    display_.Dwords[kFontDpi] = 120;  // machine-wide, as XP keeps it
    display_.Strings[kIconSpacing] = L"-1200";
    display_.Strings[kIconVertical] = L"-1300";
    display_.Strings[kFontSmoothing] = L"0";
    display_.Dwords[kFontSmoothingType] = 1;
    display_.Strings[kShellIconSize] = L"48";
    TSystemControl control(display_, path_);
    EXPECT_EQ(KeysInFile(), (Lines{L"DisplayFrequency", L"Solution", L"FontDPI", L"FontSmoothing", L"FontSmoothingType",
                                   L"IconSpacing", L"IconVerticalspacing", L"ShellIconSize", L"UserModeSaved"}));
    EXPECT_EQ(Get(L"FontDPI"), L"120");
    EXPECT_EQ(Get(L"FontSmoothing"), L"0");
    EXPECT_EQ(Get(L"FontSmoothingType"), L"1");
    EXPECT_EQ(Get(L"IconSpacing"), L"-1200");
    EXPECT_EQ(Get(L"IconVerticalspacing"), L"-1300");
    EXPECT_EQ(Get(L"ShellIconSize"), L"48");
    EXPECT_EQ(control.Current().Dpi, 120);
    EXPECT_TRUE(display_.Log.empty());
}

TEST_F(SystemControlTest, XpDpiIsTheMachineValueThenThePerUserOneThen96) {
    struct Case {
        int applied, machine, expected;  // -1: missing
    } cases[] = {{120, -1, 120}, {120, 0, 120}, {0, 120, 120}, {-1, 144, 144},
                 {120, 96, 96},  // a change waiting for the next start counts
                 {-1, -1, 96},   {0, 0, 96}};
    for (const Case& c : cases) {
        RecordingDisplay display;
        display.Vista = false;
        if (c.applied >= 0) display.Dwords[kAppliedDpi] = static_cast<DWORD>(c.applied);
        if (c.machine >= 0) display.Dwords[kFontDpi] = static_cast<DWORD>(c.machine);
        settingstest::RemovePath(path_);
        TSystemControl control(display, path_);
        EXPECT_EQ(control.Current().Dpi, c.expected) << c.applied << " " << c.machine;
        EXPECT_EQ(Get(L"FontDPI"), std::to_wstring(c.expected));
    }
}

TEST_F(SystemControlTest, TheBackupIsWrittenOnceAndNeverOverwritten) {
    display_.Dwords[kLogPixels] = 96;
    { TSystemControl first(display_, path_); }
    // The user changes the display; a later run keeps the first values.
    display_.Width = 1024, display_.Height = 768, display_.Frequency = 75;
    display_.Dwords[kLogPixels] = 120;
    const std::string before = settingstest::ReadBytes(path_);
    TSystemControl second(display_, path_);
    EXPECT_FALSE(second.FirstBackup());
    EXPECT_EQ(settingstest::ReadBytes(path_), before);
    EXPECT_EQ(second.Saved().Width, 1440);
    EXPECT_EQ(second.Saved().Height, 900);
    EXPECT_EQ(second.Saved().Frequency, 60);
    EXPECT_EQ(second.Saved().Dpi, 96);
}

TEST_F(SystemControlTest, SavedValuesThatTheDisplayCannotTakeFallBackToTheCurrentOnes) {
    struct Case {
        Lines ini;
        int width, height, frequency, dpi;
    } cases[] = {
        {VistaBackup(96, L"1024|768", 75), 1024, 768, 75, 96},
        {VistaBackup(96, L"1024|"), 1440, 900, 60, 96},          // no height
        {VistaBackup(96, L"1024"), 1440, 900, 60, 96},           // no separator
        {VistaBackup(96, L"|768"), 1440, 900, 60, 96},           // no width
        {VistaBackup(96, L"1366|768"), 1440, 900, 60, 96},       // not listed
        {VistaBackup(96, L"abc|def"), 1440, 900, 60, 96},        // 1440 x 900 by default, listed
        {VistaBackup(96, L"1024|768", 0), 1024, 768, 60, 96},    // no frequency
        {VistaBackup(96, L"1024|768", 85), 1024, 768, 60, 96},   // frequency not listed
        {VistaBackup(200), 1440, 900, 60, 144},
        {VistaBackup(72), 1440, 900, 60, 96},
        {VistaBackup(120), 1440, 900, 60, 120},
        {{L"[UserMode]", L"DPI=abc", L"UserModeSaved=1"}, 1440, 900, 60, 96},
        {{L"[UserMode]", L"UserModeSaved=1"}, 1440, 900, 60, 120},  // no DPI: the current one
    };
    display_.Dwords[kLogPixels] = 120;
    for (const Case& c : cases) {
        Ini(c.ini);
        const std::string before = settingstest::ReadBytes(path_);
        TSystemControl control(display_, path_);
        const std::wstring at = c.ini.size() > 2 ? c.ini[2] : c.ini[1];
        SCOPED_TRACE(std::string(at.begin(), at.end()));
        EXPECT_EQ(control.Saved().Width, c.width);
        EXPECT_EQ(control.Saved().Height, c.height);
        EXPECT_EQ(control.Saved().Frequency, c.frequency);
        EXPECT_EQ(control.Saved().Dpi, c.dpi);
        EXPECT_EQ(control.Saved().FontDpi, c.dpi);
        const TUserModeInfo* saved = control.FindMode(kModeSaved);
        ASSERT_NE(saved, nullptr);
        EXPECT_EQ(saved->Width, c.width);
        EXPECT_EQ(saved->Dpi, c.dpi);
        EXPECT_EQ(control.FindMode(kModeElderly)->Dpi, kElderlyDpi);
        EXPECT_EQ(control.FindMode(kModeChild)->Dpi, c.dpi);
        EXPECT_EQ(settingstest::ReadBytes(path_), before) << "a stored backup is only read";
    }
}

TEST_F(SystemControlTest, ModesCarryTheirKindsDescriptionsAndFontSmoothing) {
    Ini(VistaBackup(96, L"1024|768", 75, 1));
    TSystemControl control(display_, path_);
    const auto& modes = control.UserModes();
    for (int kind = 0; kind < 3; ++kind) {
        EXPECT_EQ(modes[kind].Kind, kind);
        EXPECT_EQ(modes[kind].ApplyFontSmoothing, 1);
        EXPECT_EQ(modes[kind].Reserved, 0);
        EXPECT_EQ(modes[kind].Width, 1024);
        EXPECT_EQ(modes[kind].Frequency, 75);
        EXPECT_NE(modes[kind].Description.find(L"\r\n"), std::wstring::npos);
    }
    EXPECT_EQ(modes[0].Description, L"儿童模式先还原到备份模式，然后自动开启豆沙绿保护色，并且开\r\n启一小时休息功能。");
    EXPECT_EQ(modes[1].Description, L"将系统内的字体放大，满足老年人健康使用电脑的需求，彻底抛弃\r\n老花镜。同时关闭自动休息功能。");
    EXPECT_EQ(modes[2].Description,
              L"您最初使用的显示模式，在应用其他模式后会自动帮您备份最初的\r\n模式，方便您随时恢复。同时自动开启每两小时休息5分钟功能。");
    EXPECT_EQ(modes[2].UseDpiScaling, 1);
    EXPECT_EQ(modes[0].UseDpiScaling, 0);
    EXPECT_EQ(control.CurrentMode().Kind, kModeNone);
    EXPECT_TRUE(control.CurrentMode().Description.empty());
    EXPECT_EQ(control.CurrentMode().ApplyFontSmoothing, 0);
}

// ---------------------------------------------------------------- a broken or missing backup

TEST_F(SystemControlTest, WithoutAStoredBackupNothingIsApplied) {
    const std::wstring unwritable = settingstest::WorkDir() + L"no such folder\\Corvalle.ini";
    display_.Dwords[kLogPixels] = 96;
    TSystemControl control(display_, unwritable);
    EXPECT_FALSE(control.BackupStored());
    EXPECT_FALSE(control.ApplyMode(kModeElderly));
    EXPECT_FALSE(control.RestoreSavedMode());
    EXPECT_TRUE(display_.Log.empty());
    EXPECT_FALSE(control.RestartNeeded());
}

TEST_F(SystemControlTest, ApplyingTriesTheBackupAgainBeforeChangingAnything) {
    const std::wstring folder = settingstest::WorkDir() + L"later folder";
    const std::wstring path = folder + L"\\Corvalle.ini";
    display_.Dwords[kLogPixels] = 96;
    TSystemControl control(display_, path);
    ASSERT_FALSE(control.BackupStored());
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_TRUE(control.ApplyMode(kModeElderly));
    EXPECT_EQ(Profile(path, kUserModeSection, L"DPI"), L"96") << "the user's own value, not the mode's";
    EXPECT_EQ(Profile(path, kUserModeSection, L"UserModeSaved"), L"1");
    EXPECT_EQ(display_.Dwords[kLogPixels], 120u);
    settingstest::RemovePath(path);
    settingstest::RemovePath(folder);
}

TEST_F(SystemControlTest, AnInterruptedBackupIsWrittenAgainWhole) {
    // The mark comes last, so a backup cut short has none and counts as absent.
    Ini({L"[UserMode]", L"DisplayFrequency=75", L"Solution=1024|768"});
    display_.Dwords[kLogPixels] = 120;
    TSystemControl control(display_, path_);
    EXPECT_TRUE(control.FirstBackup());
    EXPECT_EQ(Get(L"Solution"), L"1440|900");
    EXPECT_EQ(Get(L"DisplayFrequency"), L"60");
    EXPECT_EQ(Get(L"DPI"), L"120");
    EXPECT_EQ(Get(L"UserModeSaved"), L"1");
}

// ---------------------------------------------------------------- applying a mode

struct ApplyCase {
    const char* name;
    bool vista, win7;
    int logPixels;  // -1: missing
    int savedDpi;
    int kind;
    Lines log;
    bool restart, logOff;
};

class ApplyModeTest : public SystemControlTest, public ::testing::WithParamInterface<ApplyCase> {};

TEST_P(ApplyModeTest, WritesTheValuesInOrder) {
    const ApplyCase& c = GetParam();
    display_.Vista = c.vista;
    display_.IsWin7 = c.win7;
    if (c.logPixels >= 0) display_.Dwords[kLogPixels] = static_cast<DWORD>(c.logPixels);
    Ini(VistaBackup(c.savedDpi));
    TSystemControl control(display_, path_);
    ASSERT_TRUE(control.ApplyMode(c.kind));
    EXPECT_EQ(display_.Log, c.log);
    EXPECT_EQ(control.RestartNeeded(), c.restart);
    EXPECT_EQ(control.LogOffSuffices(), c.logOff);
    EXPECT_EQ(control.NoRestartPending(), !c.restart);
    ASSERT_NE(control.SelectedMode(), nullptr);
    EXPECT_EQ(control.SelectedMode()->Kind, c.kind);
    EXPECT_EQ(control.Current().Dpi, c.kind == kModeElderly ? 120 : c.savedDpi);
}

INSTANTIATE_TEST_SUITE_P(
    Vista, ApplyModeTest,
    ::testing::Values(
        ApplyCase{"ElderlyFrom96", true, true, 96, 96, kModeElderly,
                  {Set(kLogPixels, 120), kMarkerCreated, Set(kUseDpiScaling, 0)}, true, false},
        ApplyCase{"ElderlyAlready120", true, true, 120, 96, kModeElderly, {Set(kUseDpiScaling, 0)}, false, false},
        ApplyCase{"ChildFromMissing", true, true, -1, 96, kModeChild,
                  {Set(kLogPixels, 96), kMarkerCreated, Set(kUseDpiScaling, 0)}, true, false},
        ApplyCase{"ChildAlreadySaved", true, true, 120, 120, kModeChild, {Set(kUseDpiScaling, 0)}, false, false},
        ApplyCase{"SavedOnWindows7LogOffSuffices", true, true, 120, 96, kModeSaved,
                  {Set(kLogPixels, 96), kMarkerCreated, Set(kUseDpiScaling, 0)}, true, true},
        ApplyCase{"SavedOnVistaNeedsARestart", true, false, 120, 96, kModeSaved,
                  {Set(kLogPixels, 96), kMarkerCreated, Set(kUseDpiScaling, 0)}, true, false},
        ApplyCase{"SavedAlreadyThere", true, true, 144, 144, kModeSaved, {Set(kUseDpiScaling, 0)}, false, false}),
    [](const ::testing::TestParamInfo<ApplyCase>& info) { return std::string(info.param.name); });

TEST_F(SystemControlTest, TheSavedModeRestoresTheSavedDwmScaling) {
    display_.Dwords[kLogPixels] = 96;
    Ini(VistaBackup(96, L"1440|900", 60, 1));
    TSystemControl control(display_, path_);
    ASSERT_TRUE(control.ApplyMode(kModeSaved));
    EXPECT_EQ(display_.Log, (Lines{Set(kUseDpiScaling, 1)}));
}

TEST_F(SystemControlTest, ResolutionAndFrequencyChangeAfterTheDpiOnlyWhenTheyDiffer) {
    display_.Dwords[kLogPixels] = 96;
    Ini(VistaBackup(96, L"1024|768", 75));
    display_.Width = 1280, display_.Height = 1024, display_.Frequency = 60;
    TSystemControl control(display_, path_);
    ASSERT_TRUE(control.ApplyMode(kModeChild));
    EXPECT_EQ(display_.Log, (Lines{Set(kUseDpiScaling, 0), L"resolution 1024x768", L"frequency 75"}));
    EXPECT_EQ(control.Current().Width, 1024);
    EXPECT_EQ(control.Current().Frequency, 75);
    display_.Log.clear();
    ASSERT_TRUE(control.ApplyMode(kModeSaved));
    EXPECT_EQ(display_.Log, (Lines{Set(kUseDpiScaling, 0)}));
}

TEST_F(SystemControlTest, AFailedDisplayChangeKeepsTheRecordedResolution) {
    display_.Dwords[kLogPixels] = 96;
    Ini(VistaBackup(96, L"1024|768", 60));
    display_.ChangeResult = DISP_CHANGE_BADMODE;
    TSystemControl control(display_, path_);
    ASSERT_TRUE(control.ApplyMode(kModeSaved));
    EXPECT_EQ(display_.Log, (Lines{Set(kUseDpiScaling, 0), L"resolution 1024x768"}));
    EXPECT_EQ(control.Current().Width, 1440);
    EXPECT_EQ(control.Current().Height, 900);
    EXPECT_TRUE(control.RestoreSavedMode()) << "still not restored";
}

TEST_F(SystemControlTest, AFailedDpiWriteAsksForNoRestart) {
    display_.Dwords[kLogPixels] = 96;
    display_.FailingWrites.insert(kLogPixels);
    Ini(VistaBackup());
    TSystemControl control(display_, path_);
    ASSERT_TRUE(control.ApplyMode(kModeElderly));
    EXPECT_EQ(display_.Log, (Lines{Set(kLogPixels, 120) + L" (failed)", Set(kUseDpiScaling, 0)}));
    EXPECT_FALSE(control.RestartNeeded());
    EXPECT_TRUE(control.NoRestartPending());
    EXPECT_EQ(control.Current().Dpi, 96);
}

TEST_F(SystemControlTest, UnknownKindAppliesTheCurrentSettingsAndSelectsNothing) {
    display_.Dwords[kLogPixels] = 120;
    Ini(VistaBackup(96));
    TSystemControl control(display_, path_);
    ASSERT_TRUE(control.ApplyMode(kModeNone));
    EXPECT_EQ(control.SelectedMode(), nullptr);
    EXPECT_EQ(display_.Log, (Lines{Set(kUseDpiScaling, 0)}));
}

TEST_F(SystemControlTest, XpElderlyModeWritesTheIconsFontSmoothingAndBothDpiValues) {
    display_.Vista = false;
    display_.Dwords[kAppliedDpi] = 96;
    display_.Dwords[kFontDpi] = 96;
    display_.Dwords[kHardwareFonts] = 120;  // already there: not written again
    TSystemControl control(display_, path_);
    ASSERT_TRUE(control.ApplyMode(kModeElderly));
    EXPECT_EQ(display_.Log, (Lines{kFFlags, SetText(kIconSpacing, L"-1125"), SetText(kIconVertical, L"-1125"),
                                   SetText(kFontSmoothing, L"2"), Set(kFontSmoothingType, 2), Set(kFontDpi, 120),
                                   kMarkerCreated}));
    EXPECT_TRUE(control.RestartNeeded());
    EXPECT_FALSE(control.LogOffSuffices());
}

TEST_F(SystemControlTest, XpSavedModeWritesBackTheSavedStrings) {
    display_.Vista = false;
    display_.Dwords[kAppliedDpi] = 120;
    display_.Dwords[kFontDpi] = 120;
    Ini({L"[UserMode]", L"DisplayFrequency=60", L"Solution=1440|900", L"FontDPI=96", L"FontSmoothing=0",
         L"FontSmoothingType=1", L"IconSpacing=-1200", L"IconVerticalspacing=", L"ShellIconSize=32",
         L"UserModeSaved=1"});
    TSystemControl control(display_, path_);
    EXPECT_TRUE(control.RestoreSavedMode());
    // An empty saved spacing is not written; both DPI values go back to 96.
    EXPECT_EQ(display_.Log, (Lines{kFFlags, SetText(kIconSpacing, L"-1200"), SetText(kFontSmoothing, L"0"),
                                   Set(kFontSmoothingType, 1), Set(kFontDpi, 96), kMarkerCreated,
                                   Set(kHardwareFonts, 96)}));
    EXPECT_FALSE(control.LogOffSuffices());
}

// ---------------------------------------------------------------- restoring the saved mode

TEST_F(SystemControlTest, RestoringWhenEverythingMatchesTouchesNothing) {
    display_.Dwords[kLogPixels] = 96;
    Ini(VistaBackup());
    TSystemControl control(display_, path_);
    EXPECT_FALSE(control.RestoreSavedMode());
    EXPECT_TRUE(display_.Log.empty());
}

TEST_F(SystemControlTest, RestoringAfterTheElderlyModePutsTheSavedDpiBack) {
    display_.Dwords[kLogPixels] = 96;
    Ini(VistaBackup());
    {
        TSystemControl control(display_, path_);
        ASSERT_TRUE(control.ApplyMode(kModeElderly));
    }
    display_.Log.clear();
    display_.Keys.clear();  // the machine was restarted
    TSystemControl control(display_, path_);
    EXPECT_TRUE(control.RestoreSavedMode());
    EXPECT_EQ(display_.Log, (Lines{Set(kLogPixels, 96), kMarkerCreated, Set(kUseDpiScaling, 0)}));
    EXPECT_FALSE(control.RestoreSavedMode()) << "done once, nothing is left to restore";
}

TEST_F(SystemControlTest, UninstallRestoresTheSavedModeWithoutWritingTheFile) {
    display_.Dwords[kLogPixels] = 120;
    Ini(VistaBackup(96));
    const std::string before = settingstest::ReadBytes(path_);
    EXPECT_TRUE(RestoreSavedDisplayMode(display_, path_));
    EXPECT_EQ(display_.Log, (Lines{Set(kLogPixels, 96), kMarkerCreated, Set(kUseDpiScaling, 0)}));
    EXPECT_EQ(settingstest::ReadBytes(path_), before);
}

TEST_F(SystemControlTest, UninstallWithoutABackupDoesNothing) {
    display_.Dwords[kLogPixels] = 120;
    EXPECT_FALSE(RestoreSavedDisplayMode(display_, path_));
    EXPECT_TRUE(display_.Log.empty());
    EXPECT_FALSE(settingstest::IsFile(path_)) << "no backup of what is current";
}

// ---------------------------------------------------------------- LastSelected

TEST_F(SystemControlTest, TheStoredChoiceCountsOnlyWhileTheDisplayShowsIt) {
    struct Case {
        const wchar_t* stored;  // nullptr: no key
        int logPixels;
        int expected;
        int selected;  // -1: none
    } cases[] = {
        {nullptr, 96, kModeSaved, kModeSaved},  // default 2, matching
        {L"1", 120, kModeElderly, kModeElderly},
        {L"1", 96, kModeNone, -1},               // the elderly DPI is gone
        {L"0", 96, kModeChild, kModeChild},
        {L"2", 120, kModeNone, -1},
        {L"3", 96, kModeNone, -1},               // matches 0 and 2 alike: no choice
        {L"7", 96, kModeNone, -1},
        {L"-1", 96, kModeNone, -1},
        {L"x", 96, kModeSaved, kModeSaved},      // unreadable: the default
    };
    for (const Case& c : cases) {
        Lines ini = VistaBackup();
        if (c.stored) ini.push_back(std::wstring(L"LastSelected=") + c.stored);
        Ini(ini);
        display_.Dwords[kLogPixels] = static_cast<DWORD>(c.logPixels);
        TSystemControl control(display_, path_);
        SCOPED_TRACE(c.stored ? std::string(c.stored, c.stored + std::wcslen(c.stored)) : std::string("none"));
        EXPECT_EQ(control.LastSelected(), c.expected);
        const TUserModeInfo* selected = control.SelectedMode();
        if (c.selected < 0) EXPECT_EQ(selected, nullptr);
        else {
            ASSERT_NE(selected, nullptr);
            EXPECT_EQ(selected->Kind, c.selected);
        }
        int count = 0;
        for (const auto& mode : control.UserModes()) count += mode.Selected;
        EXPECT_EQ(count, c.selected < 0 ? 0 : 1);
    }
}

TEST_F(SystemControlTest, SaveLastSelectedWritesTheChoiceEvenIntoAReadOnlyFile) {
    display_.Dwords[kLogPixels] = 96;
    Ini(VistaBackup());
    TSystemControl control(display_, path_);
    ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY);
    control.SetLastSelected(kModeElderly);
    EXPECT_TRUE(control.SaveLastSelected());
    EXPECT_EQ(Get(L"LastSelected"), L"1");
    EXPECT_TRUE(display_.Log.empty());
}

TEST_F(SystemControlTest, SaveLastSelectedReportsAFailedWrite) {
    TSystemControl control(display_, settingstest::WorkDir() + L"no such folder\\Corvalle.ini");
    EXPECT_FALSE(control.SaveLastSelected());
}

TEST_F(SystemControlTest, ReadsUserChangedInChildMode) {
    Lines ini = VistaBackup();
    ini.push_back(L"UserChangedInChildMode=1");
    Ini(ini);
    EXPECT_TRUE(TSystemControl(display_, path_).UserChangedInChildMode());
}

// ---------------------------------------------------------------- the restart marker

TEST_F(SystemControlTest, TheRestartMarkerFollowsTheFlagAndCanBePutBack) {
    Ini(VistaBackup());
    TSystemControl control(display_, path_);
    EXPECT_TRUE(control.NoRestartPending());
    control.SetRestartNeeded(false);  // no change
    EXPECT_TRUE(display_.Log.empty());
    control.SetRestartNeeded(true);
    control.SetRestartNeeded(true);  // no change: created once
    EXPECT_EQ(display_.Log, (Lines{kMarkerCreated}));
    EXPECT_FALSE(control.NoRestartPending());
    // Clearing the flag leaves the marker to the caller, who knows how it
    // stood before.
    control.SetRestartNeeded(false);
    EXPECT_FALSE(control.RestartNeeded());
    EXPECT_FALSE(control.NoRestartPending());
    control.RestoreRestartMarker(true);
    EXPECT_TRUE(control.NoRestartPending());
    control.RestoreRestartMarker(false);
    EXPECT_FALSE(control.NoRestartPending());
    EXPECT_EQ(display_.Log, (Lines{kMarkerCreated, kMarkerDeleted, kMarkerCreated}));
}

}  // namespace
