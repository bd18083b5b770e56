// Class 90's update-count badge and notification thread through Lumvex.dll
// and the stand-in kernel: real PNG files (decoded and saved with libpng),
// the manager's icon from a stand-in program, the thread's window on this
// display.
#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "base/module_exports.h"
#include "base/png_decoder.h"
#include "base/whole_file.h"
#include "plugins/common/kernel_calls.h"
#include "plugins/setup/count_badge.h"
#include "plugins/setup/lumvex_interfaces.h"
#include "tests/doubles/kernel/kernel_fixture.h"
#include "tests/plugins/setup/setup_test_files.h"
#include "tests/support/message_pump.h"
#include "tests/support/prefix_state.h"

using namespace setup;
using testsupport::Narrow;

namespace {

// A decoded PNG as 32-bit pixels.
struct Picture {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture ReadPng(const std::wstring& path) {
    Picture out;
    std::string bytes;
    if (!base::ReadWholeFile(path.c_str(), bytes)) return out;
    const base::Bitmap image = base::DecodePngToDib(bytes.data(), bytes.size());
    DIBSECTION dib = {};
    if (!image || ::GetObjectW(image.Get(), sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBitsPixel != 32)
        return out;
    out.width = dib.dsBm.bmWidth;
    out.height = dib.dsBm.bmHeight;
    for (int y = 0; y < out.height; ++y) {
        const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(dib.dsBm.bmBits) +
                                                         static_cast<size_t>(y) * dib.dsBm.bmWidthBytes);
        out.pixels.insert(out.pixels.end(), row, row + out.width);
    }
    return out;
}

// Pixels that differ inside and outside the badge's corner (its top right
// kBadgeWidth-wide, 16-high box at least).
std::pair<int, int> Differences(const Picture& a, const Picture& b, int cornerWidth) {
    int inside = 0, outside = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.At(x, y) != b.At(x, y)) (x >= a.width - cornerWidth && y < kBadgeHeight ? inside : outside)++;
    return {inside, outside};
}

std::vector<std::tuple<UINT, WPARAM, LPARAM>> g_received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_APP) g_received.emplace_back(message, wParam, lParam);
    return ::DefWindowProcW(window, message, wParam, lParam);
}

class CountBadge : public BexKernelTest {
protected:
    void SetUp() override {
        BexKernelTest::SetUp();
        ASSERT_EQ(LoadPlugin(L"Lumvex.dll"), S_OK);
        manager_ = WorkDir() + L"badge_manager\\";
        folder_ = WorkDir() + L"badge_out\\";
        ::CreateDirectoryW(manager_.c_str(), nullptr);
        ::CreateDirectoryW(folder_.c_str(), nullptr);
        ASSERT_TRUE(::CopyFileW((ExeDir() + L"pellorand_double.exe").c_str(), (manager_ + L"Pellorand.exe").c_str(),
                                FALSE));
        reference_ = folder_ + L"ref.dat";
        strip_ = folder_ + L"PellorUpdateCount.png";
    }
    void TearDown() override {
        if (window_) ::DestroyWindow(window_);
        BexKernelTest::TearDown();
    }
    IPinToStartMenu* Make(const std::string& extra = "") {
        Configure("[environment]\nmanagerFolder=" + Narrow(manager_) + "\n" + extra);
        IBexPlugin* object = nullptr;
        EXPECT_EQ(Create(90, &object), S_OK);
        return static_cast<IPinToStartMenu*>(object);
    }
    // The images class 93 slot 7 was handed, as the stand-in saved them.
    Picture Handed(int index) const { return ReadPng(reference_ + L".93-" + std::to_wstring(index) + L".png"); }
    bool Badge(long count, const std::string& extra = "") {
        for (int i = 0; i < 3; ++i) ::DeleteFileW((reference_ + L".93-" + std::to_wstring(i) + L".png").c_str());
        ::DeleteFileW(strip_.c_str());
        IPinToStartMenu* menu = Make(extra);
        const LONG result = menu->UpdateCountBadge(count, reference_.c_str());
        menu->Release();
        return result == 1;
    }
    std::string Shown(const char* images) const { return "93.7 3 " + std::string(images) + " " + Narrow(reference_); }

    // A picture file for the notification: opaque blue, 40 x 40.
    std::wstring BluePicture() {
        const std::wstring path = folder_ + L"blue.png";
        base::Bitmap image = NewImage(40, 40);
        DIBSECTION dib = {};
        ::GetObjectW(image.Get(), sizeof(dib), &dib);
        std::fill_n(static_cast<DWORD*>(dib.dsBm.bmBits), 40 * 40, 0xFF2050C0u);
        protocol::kernel::ImageCodec* codec = nullptr;
        EXPECT_EQ(Create(protocol::kernel::kImageCodec, reinterpret_cast<IBexPlugin**>(&codec)), S_OK);
        EXPECT_EQ(protocol::Call(protocol::kernel::image_codec::kSave, codec, image.Get(), path.c_str()), 1);
        codec->Release();
        return path;
    }
    HWND RecordingWindow() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &RecordingProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CountBadgeRecorder";
        ::RegisterClassW(&wc);
        window_ = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                                    nullptr);
        g_received.clear();
        return window_;
    }
    // Pumps this thread's messages until `done` holds or 10 s passed.
    static bool WaitFor(const std::function<bool()>& done) { return testsupport::PumpUntil(done, 10000); }

    std::wstring manager_, folder_, reference_, strip_;
    HWND window_ = nullptr;
};

TEST_F(CountBadge, StripsAreSizedByDigitsAndTheIconsBadgedInTheirCorner) {
    ASSERT_TRUE(Badge(0));
    const Picture plain32 = Handed(0), plain48 = Handed(1);
    ASSERT_EQ(plain32.width, 32);
    ASSERT_EQ(plain48.width, 48);
    EXPECT_EQ(CountLines(Shown("32x32 48x48 null")), 1);

    const struct {
        long count;
        int width;
    } strips[] = {{5, 15}, {42, 22}, {999, 30}, {1000, 36}};
    for (const auto& s : strips) {
        SCOPED_TRACE(s.count);
        ASSERT_TRUE(Badge(s.count));
        const Picture strip = ReadPng(strip_);
        EXPECT_EQ(strip.width, s.width);
        EXPECT_EQ(strip.height, kBadgeHeight);
        EXPECT_EQ(CountLines(Shown(("32x32 48x48 " + std::to_string(s.width) + "x16").c_str())), 1);
        EXPECT_EQ(Handed(2).width, s.width);
    }

    ASSERT_TRUE(Badge(5));
    for (const auto& [badged, plain] : {std::make_pair(Handed(0), plain32), std::make_pair(Handed(1), plain48)}) {
        const auto [inside, outside] = Differences(badged, plain, kBadgeWidth);
        EXPECT_GT(inside, 20) << "the badge is drawn in the top right corner";
        EXPECT_EQ(outside, 0) << "the rest of the icon is left as it is";
    }
}

TEST_F(CountBadge, CountsWithoutABadgeAndBrokenPicturesLeaveTheIconsPlain) {
    ASSERT_TRUE(Badge(0));
    const Picture plain32 = Handed(0), plain48 = Handed(1);
    const struct {
        long count;
        const char* config;
    } cases[] = {{10000, ""}, {-3, ""}, {5, "[codec]\ndecode=fail\n"}, {5, "[codec]\ndecode=small\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.count) + " " + c.config);
        ASSERT_TRUE(Badge(c.count, c.config));
        EXPECT_EQ(Differences(Handed(0), plain32, 32), std::make_pair(0, 0));
        EXPECT_EQ(Differences(Handed(1), plain48, 48), std::make_pair(0, 0));
        EXPECT_FALSE(testsupport::FileExists(strip_));
    }
    EXPECT_EQ(CountLines(Shown("32x32 48x48 null")), 5);

    // The manager's folder without its trailing backslash names the same program.
    manager_.pop_back();
    ASSERT_TRUE(Badge(0));
    manager_ += L'\\';
    EXPECT_EQ(CountLines(Shown("32x32 48x48 null")), 6);

    // No manager program: no icons, the strip still made; no class 93: 0.
    ASSERT_TRUE(::DeleteFileW((manager_ + L"Pellorand.exe").c_str()));
    ASSERT_TRUE(Badge(7));
    EXPECT_EQ(CountLines(Shown("null null 15x16")), 1);
    EXPECT_FALSE(Badge(7, "[classes]\n93=refuse\n"));
}

TEST_F(CountBadge, ShowNotifyBadgesThePictureWithTheUpdateCountAndTellsTheWindow) {
    const std::wstring picture = BluePicture();
    const std::wstring out = folder_ + L"shown.png";
    HWND window = RecordingWindow();
    IPinToStartMenu* menu = Make("[software]\ncount=3\n");
    EXPECT_EQ(menu->ShowNotify(const_cast<wchar_t*>(picture.c_str()), out.c_str(), window, WM_APP + 1, 2, 3), 1);
    const auto [inside, outside] = Differences(ReadPng(out), ReadPng(picture), kBadgeWidth);
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(menu->ShowNotify(nullptr, out.c_str(), window, WM_APP + 1, 2, 3), 0);
    EXPECT_EQ(menu->ShowNotify(const_cast<wchar_t*>(picture.c_str()), out.c_str(), nullptr, WM_APP + 1, 2, 3), 0);
    menu->Release();
    EXPECT_TRUE(WaitFor([] { return !g_received.empty(); }));
    EXPECT_EQ(g_received, (std::vector<std::tuple<UINT, WPARAM, LPARAM>>{{WM_APP + 1, 2, 3}}));
}

TEST_F(CountBadge, TheNotificationThreadServesEveryStart) {
    const std::wstring picture = BluePicture();
    const std::wstring out = folder_ + L"notified.png";
    HWND window = RecordingWindow();
    const auto post = base::Export<bextest::PostNoticeFn>(kernel_, bextest::kPostNoticeName);
    ASSERT_TRUE(post);
    IPinToStartMenu* menu = Make("[notice]\nbytes=12\n");
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        ::DeleteFileW(out.c_str());
        g_received.clear();
        ASSERT_EQ(menu->StartNotifyThread(picture.c_str(), out.c_str(), window, WM_APP + 2, 17, 99), 1);
        EXPECT_EQ(menu->StartNotifyThread(picture.c_str(), out.c_str(), window, WM_APP + 2, 17, 99), 0)
            << "one thread at a time";
        ASSERT_TRUE(WaitFor([&] { return CountLines("101.8 5") == run; }));
        ASSERT_EQ(post(), 1) << "the thread's window is registered";
        ASSERT_TRUE(WaitFor([&] { return testsupport::FileExists(out) && ReadPng(out).width == 40; }));
        const auto [inside, outside] = Differences(ReadPng(out), ReadPng(picture), kBadgeWidth);
        EXPECT_GT(inside, 20) << "badged with 3";
        EXPECT_EQ(outside, 0);
        EXPECT_EQ(menu->StopNotifyThread(), 1);
        EXPECT_TRUE(WaitFor([] { return !g_received.empty(); }));
        EXPECT_EQ(g_received, (std::vector<std::tuple<UINT, WPARAM, LPARAM>>{{WM_APP + 2, 17, 99}}));
        EXPECT_EQ(CountLines("101.4"), run);
    }
    EXPECT_EQ(menu->StopNotifyThread(), 0) << "stopping twice is harmless";

    // Texts over 260 characters are cut: the picture asked for is the cut one.
    const std::wstring longText(300, L'x');
    ASSERT_EQ(menu->StartNotifyThread(longText.c_str(), out.c_str(), window, WM_APP + 2, 1, 1), 1);
    ASSERT_TRUE(WaitFor([&] { return CountLines("101.8 5") == 3; }));
    ASSERT_EQ(post(), 1);
    EXPECT_TRUE(WaitFor([&] { return CountLines("93.6 " + std::string(260, 'x')) == 1; }));
    EXPECT_EQ(menu->StopNotifyThread(), 1);

    // A too small buffer saves nothing and tells no one.
    Configure("[environment]\nmanagerFolder=" + Narrow(manager_) + "\n[notice]\nbytes=3\n");
    testsupport::DispatchPending();
    g_received.clear();
    ASSERT_EQ(menu->StartNotifyThread(picture.c_str(), out.c_str(), window, WM_APP + 2, 1, 1), 1);
    ASSERT_TRUE(WaitFor([&] { return CountLines("101.8 5") == 4; }));
    ASSERT_EQ(post(), 1);
    ASSERT_TRUE(WaitFor([&] { return CountLines("101.9 3") == 1; }));
    EXPECT_EQ(menu->StopNotifyThread(), 1);
    // The thread posts before it ends: whatever it sent is waiting now.
    testsupport::DispatchPending();
    EXPECT_TRUE(g_received.empty());
    EXPECT_EQ(CountLines("93.6 " + Narrow(picture)), 2) << "no picture asked for without data";

    // More than 9999 entries: the picture is saved without a badge.
    Configure("[environment]\nmanagerFolder=" + Narrow(manager_) + "\n[notice]\nbytes=40000\n");
    ::DeleteFileW(out.c_str());
    ASSERT_EQ(menu->StartNotifyThread(picture.c_str(), out.c_str(), window, WM_APP + 3, 0, 0), 1);
    ASSERT_TRUE(WaitFor([&] { return CountLines("101.8 5") == 5; }));
    ASSERT_EQ(post(), 1);
    ASSERT_TRUE(WaitFor([&] { return testsupport::FileExists(out) && ReadPng(out).width == 40; }));
    EXPECT_EQ(Differences(ReadPng(out), ReadPng(picture), 40), std::make_pair(0, 0));
    EXPECT_EQ(menu->StopNotifyThread(), 1);
    menu->Release();
}

TEST_F(CountBadge, ARefusedStartStillEndsTheRegistration) {
    IPinToStartMenu* menu = Make("[notice]\nstart=0\n");
    ASSERT_EQ(menu->StartNotifyThread(L"a.png", L"b.png", RecordingWindow(), WM_APP + 4, 0, 0), 1);
    EXPECT_TRUE(WaitFor([&] { return CountLines("101.4") == 1; }));
    EXPECT_EQ(CountLines("101.5 2026"), 1);
    menu->StopNotifyThread();
    menu->Release();
}

}  // namespace
