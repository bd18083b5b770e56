#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "companion/system/paths.h"
#include "companion/system/shared_settings.h"
#include "companion/ui/corvalle_skin.h"
#include "companion/ui/pop_buttons.h"
#include "companion/ui/vyn_pop_wnd.h"
#include "tests/companion/nav_test_support.h"

using namespace companion;

namespace {

const std::wstring kSkin = L"C:\\skin\\";
const std::wstring kProg = L"C:\\prog\\";

std::string Button(const std::string& pic, const std::string& params = "eye", const std::string& x = "1",
                   const std::string& prog = "Mirelo.exe") {
    return "<vynpop pic=\"" + pic + "\" hover=\"tip.png\" exe=\"" + prog + "\" param=\"" + params + "\" x=\"" + x +
           "\" y=\"2\" tipx=\"3\" tipy=\"4\"/>";
}

std::string Doc(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<vynpops>\r\n" + body + "\r\n</vynpops>\r\n";
}

struct Parsed {
    int result;
    std::vector<PopButton> buttons;
};

Parsed Parse(const std::string& text) {
    Parsed p;
    p.result = ParsePopXml(text, kSkin, kProg, p.buttons);
    return p;
}

std::vector<std::wstring> Pictures(const Parsed& p) {
    std::vector<std::wstring> names;
    for (const auto& b : p.buttons) names.push_back(b.picture.substr(kSkin.size()));
    return names;
}

TEST(PopXmlTest, EightAttributesAreTakenByPositionWhateverTheirNames) {
    const auto p = Parse(Doc(
        "<vynpop a=\"pic.png\" b=\"hover.png\" c=\"Mirelo.exe\" d=\"timealert\" e=\"-66\" f=\"70\" g=\"-8\" h=\"-34\"/>"));
    ASSERT_EQ(p.result, 0);
    ASSERT_EQ(p.buttons.size(), 1u);
    const PopButton& b = p.buttons[0];
    EXPECT_EQ(b.picture, L"C:\\skin\\pic.png");
    EXPECT_EQ(b.hoverPicture, L"C:\\skin\\hover.png");
    EXPECT_EQ(b.program, L"C:\\prog\\Mirelo.exe");
    EXPECT_EQ(b.parameters, L"timealert");
    EXPECT_EQ(b.x, -66);
    EXPECT_EQ(b.y, 70);
    EXPECT_EQ(b.hoverX, -8);
    EXPECT_EQ(b.hoverY, -34);
}

TEST(PopXmlTest, ElementsWithAnotherNumberOfAttributesAreIgnored) {
    const auto p = Parse(Doc(
        "<vynpop a=\"seven.png\" b=\"h\" c=\"p.exe\" d=\"x\" e=\"1\" f=\"2\" g=\"3\"/>"
        "<vynpop a=\"nine.png\" b=\"h\" c=\"p.exe\" d=\"x\" e=\"1\" f=\"2\" g=\"3\" h=\"4\" i=\"5\"/>"
        "<vynpop/>" +
        Button("eight.png")));
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(Pictures(p), std::vector<std::wstring>{L"eight.png"});
}

TEST(PopXmlTest, ButtonsAreFoundAnywhereInDocumentOrderByTheExactLowerCaseName) {
    const auto p = Parse(Doc("<group><inner>" + Button("deep.png") + "</inner></group>" + Button("flat.png") +
                             "<VynPop a=\"1\" b=\"2\" c=\"3\" d=\"4\" e=\"5\" f=\"6\" g=\"7\" h=\"8\"/>" +
                             "<vynpopx a=\"1\" b=\"2\" c=\"3\" d=\"4\" e=\"5\" f=\"6\" g=\"7\" h=\"8\"/>"));
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(Pictures(p), (std::vector<std::wstring>{L"deep.png", L"flat.png"}));
}

TEST(PopXmlTest, NumbersMustBeBoundedDecimalIntegers) {
    std::string body;
    for (const char* x : {"abc", "12px", "1e3", "", " ", "0x10", "1.5", "99999999999999999999", "4097", "-4097", "+-1"})
        body += Button(std::string("bad") + x + ".png", "eye", x);
    body += Button("max.png", "eye", "4096") + Button("min.png", "eye", "-4096") + Button("plus.png", "eye", "+7") +
            Button("blank.png", "eye", " 12 ");
    const auto p = Parse(Doc(body));
    ASSERT_EQ(p.result, 0);
    ASSERT_EQ(Pictures(p), (std::vector<std::wstring>{L"max.png", L"min.png", L"plus.png", L"blank.png"}));
    EXPECT_EQ(p.buttons[0].x, 4096);
    EXPECT_EQ(p.buttons[1].x, -4096);
    EXPECT_EQ(p.buttons[2].x, 7);
    EXPECT_EQ(p.buttons[3].x, 12);
}

TEST(PopXmlTest, TextsAreBounded) {
    const std::string longName(300, 'a');
    const auto p = Parse(Doc(Button(longName + ".png") + Button("params65.png", std::string(65, 'p')) +
                             Button("params64.png", std::string(64, 'p')) +
                             Button("longprog.png", "eye", "1", longName + ".exe")));
    ASSERT_EQ(p.result, 0);
    ASSERT_EQ(Pictures(p), std::vector<std::wstring>{L"params64.png"});
    EXPECT_EQ(p.buttons[0].parameters.size(), 64u);
}

TEST(PopXmlTest, NamesMustStayInsideTheirFolders) {
    const auto p = Parse(Doc(Button("ok.png", "eye", "1", "..\\evil.exe") + Button("ok.png", "eye", "1", "C:\\x.exe") +
                             Button("ok.png", "eye", "1", "\\x.exe") + Button("ok.png", "eye", "1", "/x.exe") +
                             Button("ok.png", "eye", "1", "a/../../x.exe") + Button("..\\up.png") +
                             Button("ok.png", "eye", "1", "") + Button("") +
                             Button("sub\\pic.png", "eye", "1", "tools\\p.exe") + Button("..dots.png")));
    ASSERT_EQ(p.result, 0);
    ASSERT_EQ(Pictures(p), (std::vector<std::wstring>{L"sub\\pic.png", L"..dots.png"}));
    EXPECT_EQ(p.buttons[0].program, L"C:\\prog\\tools\\p.exe");
}

TEST(PopXmlTest, EmptyParametersAreAllowed) {
    const auto p = Parse(Doc(Button("p.png", "")));
    ASSERT_EQ(p.buttons.size(), 1u);
    EXPECT_EQ(p.buttons[0].parameters, L"");
}

TEST(PopXmlTest, ControlCharactersInTextsSkipTheButton) {
    const auto p = Parse(Doc(Button("tab.png", "a&#9;b") + Button("nl.png", "a&#10;b") + Button("ok.png", "a&amp;b")));
    ASSERT_EQ(p.result, 0);
    ASSERT_EQ(Pictures(p), std::vector<std::wstring>{L"ok.png"});
    EXPECT_EQ(p.buttons[0].parameters, L"a&b");
}

TEST(PopXmlTest, TextsAreUtf8AndOtherBytesSkipTheButton) {
    const auto p = Parse(Doc(Button("\xE4\xB8\xAD\xE6\x96\x87.png") + Button("\xB1\xB1\xBE\xA9.png") +
                             Button("\xC0\xAF.png") + Button("ok.png", "\xFF")));
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(Pictures(p), std::vector<std::wstring>{L"中文.png"});
}

TEST(PopXmlTest, AByteOrderMarkAndEveryLineEndAreRead) {
    const std::string body = Button("a.png") + "\r" + Button("b.png") + "\n" + Button("c.png") + "\r\n";
    const auto p = Parse("\xEF\xBB\xBF<vynpops>\r" + body + "</vynpops>\r");
    ASSERT_EQ(p.result, 0);
    EXPECT_EQ(Pictures(p), (std::vector<std::wstring>{L"a.png", L"b.png", L"c.png"}));
}

TEST(PopXmlTest, ABrokenDocumentGivesNoButtonsAtAll) {
    for (const std::string& text :
         {Doc(Button("a.png")) + "<unclosed", Doc(Button("a.png") + "<open>"), std::string("<a></b>"),
          Button("a.png") + "<vynpop a=\"1\" a=\"2\"/>", std::string("<vynpops><vynpop pic=\"a.png"),
          std::string("\x00\x01\x02garbage", 10), Doc(Button("a.png")).insert(20, 1, '\0')}) {
        std::vector<PopButton> buttons(1);  // what was there stays untouched
        EXPECT_EQ(ParsePopXml(text, kSkin, kProg, buttons), -3) << text;
        EXPECT_EQ(buttons.size(), 1u);
    }
}

TEST(PopXmlTest, AnEmptyOrBlankTextIsAnEmptyNavigation) {
    for (const std::string& text : {std::string(), std::string("  \r\n  ")}) {
        const auto p = Parse(text);
        EXPECT_EQ(p.result, 0);
        EXPECT_TRUE(p.buttons.empty());
    }
}

TEST(PopXmlTest, DeepNestingIsRefusedBeforeParsing) {
    std::string deep;
    for (int i = 0; i < 20000; ++i) deep += "<a>";
    // Within the size limit: the count of tags alone refuses it.
    ASSERT_LE(deep.size(), kPopXmlMaxBytes);
    const auto p = Parse(deep);
    EXPECT_EQ(p.result, -3);
    EXPECT_TRUE(p.buttons.empty());

    std::string nested;
    for (int i = 0; i < 40; ++i) nested += "<n>";
    nested += Button("deep.png");
    for (int i = 0; i < 40; ++i) nested += "</n>";
    const auto q = Parse(nested);
    EXPECT_EQ(q.result, 0);
    EXPECT_EQ(Pictures(q), std::vector<std::wstring>{L"deep.png"});
}

TEST(PopXmlTest, TooLargeOrTooManyTagsIsRefused) {
    const std::string big = Doc(Button("a.png") + std::string(kPopXmlMaxBytes, ' '));
    EXPECT_EQ(Parse(big).result, -3);
    std::string many;
    for (size_t i = 0; i <= kPopXmlMaxTags; ++i) many += "<c/>";
    EXPECT_EQ(Parse(Doc(many)).result, -3);
}

TEST(PopXmlTest, AtMostSixteenButtonsAreKept) {
    std::string body;
    for (int i = 0; i < 20; ++i) body += Button("b" + std::to_string(i) + ".png");
    const auto p = Parse(Doc(body));
    ASSERT_EQ(p.result, 0);
    ASSERT_EQ(p.buttons.size(), kPopMaxButtons);
    EXPECT_EQ(p.buttons.back().picture, L"C:\\skin\\b15.png");
}

TEST(PopXmlTest, ButtonsAreAppendedToTheList) {
    std::vector<PopButton> buttons(2);
    ASSERT_EQ(ParsePopXml(Doc(Button("a.png")), kSkin, kProg, buttons), 0);
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[2].picture, L"C:\\skin\\a.png");
}

TEST(PopXmlFileTest, AMissingFileGivesNoButtons) {
    std::vector<PopButton> buttons;
    EXPECT_EQ(LoadPopXmlFile(navtest::ExeDir() + L"no-such-vynPop.xml", kSkin, kProg, buttons), 0);
    EXPECT_TRUE(buttons.empty());
    EXPECT_EQ(LoadPopXmlFile(L"", kSkin, kProg, buttons), 0);
}

TEST(PopXmlFileTest, AnOversizedFileIsNotReadWhole) {
    const std::wstring folder = navtest::FreshFolder(L"bigfile");
    const std::wstring path = folder + L"vynPop.xml";
    ASSERT_TRUE(navtest::WriteFile(path, Doc(Button("a.png")) + std::string(1 << 20, ' ')));
    std::vector<PopButton> buttons;
    EXPECT_EQ(LoadPopXmlFile(path, kSkin, kProg, buttons), -1);
    EXPECT_TRUE(buttons.empty());
}

TEST(PopXmlFileTest, AFolderInPlaceOfTheFileGivesNoButtons) {
    const std::wstring folder = navtest::FreshFolder(L"folderfile");
    const std::wstring path = folder + L"vynPop.xml";
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    std::vector<PopButton> buttons;
    EXPECT_LE(LoadPopXmlFile(path, kSkin, kProg, buttons), 0);
    EXPECT_TRUE(buttons.empty());
}

// The description the build puts into the skin package.
TEST(ShippedPopXmlTest, HoldsTheFiveButtonsWithTheirPicturesAndPages) {
    const std::wstring folder = navtest::FreshFolder(L"shipped");
    ASSERT_TRUE(navtest::UnpackSkin(folder)) << navtest::Narrow(navtest::SkinPackagePath());
    const std::wstring skinDir = folder + L"halvet\\";
    std::vector<PopButton> buttons;
    ASSERT_EQ(LoadPopXmlFile(skinDir + L"vynPop.xml", skinDir, kProg, buttons), 0);
    ASSERT_EQ(buttons.size(), 5u);

    const struct {
        const wchar_t* picture;
        const wchar_t* parameters;
        UINT strip;
    } expected[] = {
        {L"eyeprotect.png", L"eye", kBexNavEyeProtect},     {L"schedule.png", L"timealert", kBexNavSchedule},
        {L"shutdown.png", L"timeshutdown", kBexNavShutdown}, {L"setting.png", L"general", kBexNavSetting},
        {L"weather.png", L"general", kBexNavWeather},
    };
    for (size_t i = 0; i < buttons.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(buttons[i].picture, skinDir + expected[i].picture);
        EXPECT_EQ(buttons[i].parameters, expected[i].parameters);
        EXPECT_EQ(buttons[i].program, kProg + L"Mirelo.exe");
        EXPECT_EQ(CVynPopWnd::StripResourceFor(buttons[i].picture), expected[i].strip);
        // The pictures travel in the package beside the description.
        EXPECT_NE(::GetFileAttributesW(buttons[i].picture.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_NE(::GetFileAttributesW(buttons[i].hoverPicture.c_str()), INVALID_FILE_ATTRIBUTES);
        // Around the mascot, not somewhere on the screen.
        EXPECT_LE(std::abs(buttons[i].x), 200);
        EXPECT_LE(std::abs(buttons[i].y), 200);
    }
    // No two buttons on the same spot.
    for (size_t i = 0; i < buttons.size(); ++i)
        for (size_t j = i + 1; j < buttons.size(); ++j)
            EXPECT_FALSE(buttons[i].x == buttons[j].x && buttons[i].y == buttons[j].y);
}

// What the mascot window calls: the unpacked skin of the user's data folder,
// programs from the program's own folder.
TEST(ShippedPopXmlTest, LoadPopButtonsReadsTheUnpackedSkin) {
    std::wstring appData;
    ASSERT_TRUE(GetAppDataDir(appData));
    const std::wstring vynDir = appData + L"tarvisk\\vyn\\";
    ASSERT_TRUE(CreateDirectoryTree((vynDir + L"x").c_str()));
    ASSERT_TRUE(navtest::UnpackSkin(vynDir));
    const std::vector<PopButton> buttons = LoadPopButtons();
    ASSERT_EQ(buttons.size(), 5u);
    EXPECT_EQ(buttons[0].program, navtest::ExeDir() + L"Mirelo.exe");
    EXPECT_EQ(buttons[0].picture, vynDir + L"halvet\\eyeprotect.png");
    EXPECT_EQ(buttons[4].hoverPicture, vynDir + L"halvet\\weather_tip.png");
}

TEST(StripChoiceTest, ThePictureNameLowerCasedPicksTheStrip) {
    EXPECT_EQ(CVynPopWnd::StripResourceFor(L"C:\\skin\\eyeprotect.png"), kBexNavEyeProtect);
    EXPECT_EQ(CVynPopWnd::StripResourceFor(L"C:\\skin\\SHUTDOWN.PNG"), kBexNavShutdown);
    EXPECT_EQ(CVynPopWnd::StripResourceFor(L"C:\\skin\\my_Schedule.png"), kBexNavSchedule);
    EXPECT_EQ(CVynPopWnd::StripResourceFor(L"C:\\skin\\weather.png"), kBexNavWeather);
    EXPECT_EQ(CVynPopWnd::StripResourceFor(L"C:\\skin\\other.png"), kBexNavSetting);
    EXPECT_EQ(CVynPopWnd::StripResourceFor(L""), kBexNavSetting);
    // The first name of the list wins.
    EXPECT_EQ(CVynPopWnd::StripResourceFor(L"weather.png-shutdown.png"), kBexNavShutdown);
}

TEST(NavigationStatisticTest, OnlyTheSettingsPagesAreCounted) {
    EXPECT_EQ(NavigationStatistic(L"general"), L"vynset&type=fromnavi");
    EXPECT_EQ(NavigationStatistic(L"eye"), L"vyneye&type=fromnavi");
    EXPECT_EQ(NavigationStatistic(L"timeshutdown"), L"vynturnoff&type=fromnavi");
    EXPECT_EQ(NavigationStatistic(L"timealert"), L"vynremind&type=fromnavi");
    EXPECT_EQ(NavigationStatistic(L"init"), L"");
    EXPECT_EQ(NavigationStatistic(L""), L"");
}

}  // namespace
