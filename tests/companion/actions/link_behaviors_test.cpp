// What a click on a tip's link does, seen from stand-ins: a window of the
// main window's class, the tip's text window and the security product.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "companion/actions/link_behaviors.h"
#include "companion/system/paths.h"
#include "companion/ui/tip_link_targets.h"
#include "protocol/window_messages.h"
#include "tests/companion/prefix_state.h"
#include "tests/support/message_pump.h"
#include "winlib/window.h"

using namespace companion;

namespace {

// Records the private messages and commands it receives; the tip text
// window stand-in also keeps the text it was given.
class RecordingWindow : public winlib::Window {
public:
    BOOL ProcessWindowMessage(HWND, UINT msg, WPARAM wParam, LPARAM, LRESULT& result) override {
        if (msg != WM_COMMAND && msg < WM_USER) return FALSE;
        received.push_back({msg, msg == WM_COMMAND ? wParam : 0});
        if (msg == WM_SET_TIP_TEXT && wParam) text = reinterpret_cast<const wchar_t*>(wParam);
        result = 1;
        return TRUE;
    }
    std::vector<std::pair<UINT, WPARAM>> received;
    std::wstring text;
};

TEST(LinkBehaviorTest, TheSettingsAndExerciseLinksTalkToTheMainWindowAndTheTip) {
    RecordingWindow main, tipText;
    ASSERT_TRUE(main.Create(L"Corvalle", nullptr, nullptr, L"", WS_POPUP, 0));
    ASSERT_TRUE(tipText.Create(L"CorvalleTipWndSub", nullptr, nullptr, L"", WS_POPUP, 0));
    CTipLinkTargets targets(main.Hwnd(), tipText.Hwnd());
    CLinkBehavior settings;
    CRestLinkBehavior neck;
    CAFRestLinkBehavior eyes;
    using Posted = std::vector<std::pair<UINT, WPARAM>>;
    const struct {
        ILinkBehavior* link;
        Posted posted;
        const wchar_t* tip;  // null: the tip keeps its text
    } cases[] = {
        {&settings, {{WM_COMMAND, kCommandOpenGeneralSettings}}, nullptr},
        {&neck, {{protocol::WM_SHOW_NECK_EXERCISE, 0}}, L"你的显示器没有坏哦，看完屏幕上这段话~"},
        {&eyes, {{protocol::WM_SHOW_EYE_EXERCISE, 0}}, L"坚持做完眼保健操哦"},
    };
    for (const auto& c : cases) {
        main.received.clear();
        tipText.received.clear();
        tipText.text.clear();
        EXPECT_EQ(c.link->Execute(targets), 1);
        testsupport::DispatchPending();
        EXPECT_EQ(main.received, c.posted);
        EXPECT_EQ(tipText.text, c.tip ? c.tip : L"");
    }
    main.DestroyWindow();
    tipText.DestroyWindow();
}

std::wstring ParentFolder(const std::wstring& dirWithSlash) {
    return dirWithSlash.substr(0, dirWithSlash.find_last_of(L'\\', dirWithSlash.size() - 2) + 1);
}

std::string LastLine(const std::wstring& path) {
    std::string last;
    FILE* f = ::_wfopen(path.c_str(), L"r");
    if (!f) return last;
    char line[512];
    while (std::fgets(line, sizeof(line), f)) last = line;
    std::fclose(f);
    while (!last.empty() && (last.back() == '\n' || last.back() == '\r')) last.pop_back();
    return last;
}

// The product stands one folder above the companion's own folder; a copy
// beside the companion must not be the one started.
TEST(LinkBehaviorTest, TheProductLinksStartTheProductAboveTheOwnFolderWithTheirFunction) {
    std::wstring dir;
    ASSERT_TRUE(GetExeDir(dir));
    const std::wstring product = ParentFolder(dir) + L"Tarvisk.exe";
    const std::wstring beside = dir + L"Tarvisk.exe";
    for (const std::wstring& path : {product, beside}) {
        ASSERT_TRUE(::CopyFileW((dir + L"recording_program.exe").c_str(), path.c_str(), FALSE));
        ::DeleteFileW((path + L".calls").c_str());
    }
    CTipLinkTargets noWindows(nullptr, nullptr);
    CTrashCleanLinkBehavior trash;
    CSysDiskCheckLinkBehavior disk;
    CCheckRunBehavior startup;
    const struct {
        ILinkBehavior* link;
        const char* parameters;
    } cases[] = {
        {&trash, "/funname=trashclean"},
        {&disk, "/funname=sysdiskclean"},
        {&startup, "/funname=startupspeedup"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.link->Execute(noWindows), 1);
        // The shell starts the program without waiting for it.
        testsupport::WaitUntil([&] { return LastLine(product + L".calls") == c.parameters; });
        EXPECT_EQ(LastLine(product + L".calls"), c.parameters);
    }
    EXPECT_FALSE(testsupport::FileExists(beside + L".calls"));
    ::Sleep(200);  // the last stand-in may still hold its file open
    for (const std::wstring& path : {product, beside}) {
        ::DeleteFileW(path.c_str());
        ::DeleteFileW((path + L".calls").c_str());
    }
}

}  // namespace
