// Facts the product tests lean on: the Wine environment scripts/wine sets
// up, the compiler settings, and that every outside library links and works.
#include <windows.h>

#include <gtest/gtest.h>
#include <json/json.h>
#include <minizip/unzip.h>
#include <png.h>
#include <tinyxml.h>
#include <zlib.h>

#include <cstring>
#include <string>

#include "harness_ids.h"

namespace {

TEST(Wine, AnsiCodePageIsChinese) {
  // Profile functions and the A-functions convert through this code page.
  EXPECT_EQ(GetACP(), 936u);
}

TEST(Wine, WindowOnTheDisplay) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.lpszClassName = L"HarnessProbeWindow";
  ASSERT_NE(RegisterClassExW(&wc), 0);

  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"probe", WS_OVERLAPPEDWINDOW,
                              10, 10, 200, 100, nullptr, nullptr, instance, nullptr);
  ASSERT_NE(hwnd, nullptr) << "no X display reached Wine";
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(FindWindowW(L"HarnessProbeWindow", nullptr), hwnd);
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
  DestroyWindow(hwnd);
  UnregisterClassW(wc.lpszClassName, instance);
}

TEST(Wine, StartsInItsOwnFolder) {
  wchar_t expected[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"TEST_WORK_DIR", expected, MAX_PATH), 0u);
  wchar_t current[MAX_PATH] = {};
  ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, current), 0u);
  EXPECT_EQ(lstrcmpiW(expected, current), 0) << "TEST_WORK_DIR differs from the start folder";

  wchar_t bin[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"TEST_BIN_DIR", bin, MAX_PATH), 0u);
  const DWORD attributes = GetFileAttributesW(bin);
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Compiler, SourceAndNarrowLiteralsAreUtf8) {
  const char narrow[] = "中";
  ASSERT_EQ(sizeof narrow, 4u);
  EXPECT_EQ(static_cast<unsigned char>(narrow[0]), 0xE4);
  EXPECT_EQ(static_cast<unsigned char>(narrow[1]), 0xB8);
  EXPECT_EQ(static_cast<unsigned char>(narrow[2]), 0xAD);
  const wchar_t wide[] = L"中";
  EXPECT_EQ(wide[0], 0x4E2D);
}

TEST(Compiler, ResourceScriptsAreUtf8) {
  wchar_t text[32] = {};
  ASSERT_EQ(LoadStringW(GetModuleHandleW(nullptr), IDS_HARNESS_CHINESE, text, 32), 4);
  EXPECT_EQ(std::wstring(text), std::wstring(L"健康伴侣"));
}

TEST(Compiler, WideApiByDefault) {
#if !defined(UNICODE) || !defined(_UNICODE) || !defined(NOMINMAX)
  FAIL() << "project_target_defaults did not apply";
#endif
  EXPECT_EQ(_WIN32_WINNT, 0x0601);
  EXPECT_EQ(WINVER, 0x0601);
}

TEST(Libraries, Zlib) {
  EXPECT_STREQ(zlibVersion(), ZLIB_VERSION);
  const char input[] = "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa";
  Bytef packed[128];
  uLongf packed_size = sizeof packed;
  ASSERT_EQ(compress(packed, &packed_size, reinterpret_cast<const Bytef*>(input), sizeof input), Z_OK);
  Bytef unpacked[128];
  uLongf unpacked_size = sizeof unpacked;
  ASSERT_EQ(uncompress(unpacked, &unpacked_size, packed, packed_size), Z_OK);
  ASSERT_EQ(unpacked_size, sizeof input);
  EXPECT_EQ(std::memcmp(unpacked, input, sizeof input), 0);
}

TEST(Libraries, Png) {
  EXPECT_EQ(png_access_version_number(), static_cast<png_uint_32>(PNG_LIBPNG_VER));
  EXPECT_GE(png_access_version_number(), 10600u);
}

TEST(Libraries, MinizipOpenOfMissingFileFails) {
  EXPECT_EQ(unzOpen("no-such-package.zip"), nullptr);
}

TEST(Libraries, TinyXml) {
  TiXmlDocument doc;
  doc.Parse("<a b='1'/>");
  ASSERT_FALSE(doc.Error()) << doc.ErrorDesc();
  const TiXmlElement* root = doc.RootElement();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->ValueStr(), "a");
  const std::string* b = root->Attribute(std::string("b"));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(*b, "1");
}

TEST(Libraries, JsonCpp) {
  Json::Reader reader;
  Json::Value value;
  ASSERT_TRUE(reader.parse("{\"a\":1}", value));
  EXPECT_EQ(value["a"].asInt(), 1);
}

}  // namespace
