// The ring preview keeps at most one player running, over a stand-in player
// that stays until it is ended.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "settings/pages/RingPreview.h"
#include "tests/settings/test_support.h"

using namespace settings;

namespace {

HANDLE Watch(DWORD processId) {
    return processId ? ::OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr;
}

TEST(RingPreviewTest, ANewPreviewStopsTheOneBeforeAndTheLastEndsWithItsOwner) {
    const std::wstring one = settingstest::WorkDir() + L"one.wav", two = settingstest::WorkDir() + L"two.wav",
                       program = settingstest::WorkDir() + L"ring.exe";
    for (const std::wstring& file : {one, two, program}) ASSERT_TRUE(settingstest::WriteFixture(file, L"RIFF", settingstest::Encoding::Ansi936));
    HANDLE first = nullptr, second = nullptr;
    {
        TRingPreview preview;
        preview.Player = settingstest::SystemProgram(L"notepad.exe");  // stays until ended
        EXPECT_FALSE(preview.Play(program)) << "only sound files are played";
        EXPECT_EQ(preview.ProcessId(), 0u);
        ASSERT_TRUE(preview.Play(one));
        first = Watch(preview.ProcessId());
        ASSERT_NE(first, nullptr);
        ASSERT_TRUE(preview.Play(two));
        EXPECT_EQ(::WaitForSingleObject(first, 5000), WAIT_OBJECT_0) << "the first preview was stopped";
        second = Watch(preview.ProcessId());
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(::WaitForSingleObject(second, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    }
    EXPECT_EQ(::WaitForSingleObject(second, 5000), WAIT_OBJECT_0) << "the owner's end stopped the second";
    ::CloseHandle(first);
    ::CloseHandle(second);
    for (const std::wstring& file : {one, two, program}) settingstest::RemovePath(file);
}

}  // namespace
