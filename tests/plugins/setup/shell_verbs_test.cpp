// The rule that picks the Start-menu verb among a file's verbs, and what the
// system's Shell object offers under this system.
#include <gtest/gtest.h>
#include <windows.h>

#include "plugins/setup/shell_verbs.h"
#include "tests/plugins/setup/fake_shell_verbs.h"

using namespace setup;

namespace {

TEST(ShellVerbs, NamesMatchTheirActionsTextsWithoutAccessKeysIgnoringCase) {
    struct Case {
        const wchar_t* name;
        bool pins;
        bool unpins;
    } cases[] = {
        {L"附到「开始」菜单(&U)", true, false},
        {L"附到「开始」菜单(I)", true, false},
        {L"&Pin to Start Menu", true, false},
        {L"pin to start menu", true, false},
        {L"Pin to Start", false, false},
        {L"Pin to Start Menu ", false, false},
        {L"Unpin from Start Menu", false, true},
        {L"&unpin FROM start menu", false, true},
        {L"从「开始」菜单解锁(&U)", false, true},
        {L"从「开始」菜单脱离(I)", false, true},
        {L"Unpin from Start", false, false},
        {L"", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.name)));
        EXPECT_EQ(IsPinVerb(c.name, true), c.pins);
        EXPECT_EQ(IsPinVerb(c.name, false), c.unpins);
    }
}

TEST(ShellVerbs, TheFirstMatchingVerbIsInvokedAndNoMatchInvokesNothing) {
    FakeShellVerbs verbs({L"&Open", L"Pin to Start", L"&Pin to Start Menu", L"附到「开始」菜单(&U)"});
    EXPECT_TRUE(InvokeShellVerb(verbs, L"C:\\m\\", L"a.lnk", true));
    EXPECT_FALSE(InvokeShellVerb(verbs, L"C:\\m\\", L"a.lnk", false));
    EXPECT_EQ(verbs.invoked, (std::vector<std::wstring>{L"C:\\m\\|a.lnk|&Pin to Start Menu"}));
}

TEST(ShellVerbs, TheVerbRunIsTheOneWhoseNameMatched) {
    // The menu gains an entry at its top once it was listed.
    FakeShellVerbs verbs({L"&Open", L"&Pin to Start Menu"});
    verbs.afterListing = [&verbs] { verbs.names.insert(verbs.names.begin(), L"&Delete"); };
    EXPECT_TRUE(InvokeShellVerb(verbs, L"C:\\m\\", L"a.lnk", true));
    EXPECT_EQ(verbs.invoked, (std::vector<std::wstring>{L"C:\\m\\|a.lnk|&Pin to Start Menu"}));
}

TEST(ShellVerbs, TheSystemShellOffersNoPinVerbHere) {
    // This system's Shell object lists a file's context-menu verbs, which
    // have no Start-menu entries: pinning finds no match and does nothing.
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring file = L"shell_verbs_probe.txt";
    HANDLE h = ::CreateFileW((std::wstring(folder) + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
    SystemShellVerbs().Visit(folder, file, [](IShellVerb& verb) {
        EXPECT_FALSE(IsPinVerb(verb.Name(), true));
        EXPECT_FALSE(IsPinVerb(verb.Name(), false));
        return false;
    });
    EXPECT_FALSE(InvokeShellVerb(SystemShellVerbs(), folder, file, true));
    EXPECT_FALSE(InvokeShellVerb(SystemShellVerbs(), folder, L"missing.lnk", false));
    ::DeleteFileW((std::wstring(folder) + file).c_str());
}

}  // namespace
