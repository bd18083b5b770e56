// A display and registry that exist only in memory and log every change made
// to them, in order, as one line each:
//   "HKCU\<key>\<name>=<number>" or "...=\"<text>\"" for a value written,
//   "resolution <w>x<h>", "frequency <f>" for a display change,
//   "create HKLM\<key>" (volatile), "delete HKLM\<key>" for a key.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings/display/DisplayApi.h"

namespace settingstest {

using namespace settings;

class RecordingDisplay final : public IDisplayApi {
public:
    bool Vista = true;
    bool IsWin7 = true;
    int Width = 1440, Height = 900, Frequency = 60;
    bool DisplayReadable = true;
    std::vector<TDisplayMode> Modes;
    LONG ChangeResult = DISP_CHANGE_SUCCESSFUL;

    std::map<std::wstring, DWORD> Dwords;          // "HKCU\key\name"
    std::map<std::wstring, std::wstring> Strings;  // "HKCU\key\name"
    std::set<std::wstring> Keys;                   // "HKLM\key"
    std::set<std::wstring> FailingWrites;          // "HKCU\key\name" whose writes fail
    std::vector<std::wstring> Log;

    RecordingDisplay() {
        const int sizes[][2] = {{800, 600}, {1024, 768}, {1280, 1024}, {1440, 900}};
        int index = 0;
        for (const auto& size : sizes)
            for (int f : {60, 75}) Modes.push_back({index++, size[0], size[1], f});
    }

    static std::wstring Path(HKEY root, const std::wstring& key, const std::wstring& name = std::wstring()) {
        std::wstring path = root == HKEY_LOCAL_MACHINE ? L"HKLM\\" : root == HKEY_CURRENT_USER ? L"HKCU\\" : L"?\\";
        path += key;
        if (!name.empty()) path += L"\\" + name;
        return path;
    }

    bool VistaOrLater() override { return Vista; }
    bool Win7() override { return IsWin7; }

    bool CurrentDisplay(int& width, int& height, int& frequency) override {
        if (!DisplayReadable) return false;
        width = Width;
        height = Height;
        frequency = Frequency;
        return true;
    }
    std::vector<TDisplayMode> DisplayModes() override { return Modes; }

    LONG ChangeResolution(int width, int height) override {
        Log.push_back(L"resolution " + std::to_wstring(width) + L"x" + std::to_wstring(height));
        if (ChangeResult == DISP_CHANGE_SUCCESSFUL) Width = width, Height = height;
        return ChangeResult;
    }
    LONG ChangeFrequency(int frequency) override {
        Log.push_back(L"frequency " + std::to_wstring(frequency));
        if (ChangeResult == DISP_CHANGE_SUCCESSFUL) Frequency = frequency;
        return ChangeResult;
    }

    bool ReadDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD& value) override {
        auto it = Dwords.find(Path(root, key, name));
        if (it == Dwords.end()) return false;
        value = it->second;
        return true;
    }
    bool ReadString(HKEY root, const std::wstring& key, const std::wstring& name, std::wstring& value) override {
        auto it = Strings.find(Path(root, key, name));
        if (it == Strings.end()) return false;
        value = it->second;
        return true;
    }
    bool WriteDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD value) override {
        const std::wstring path = Path(root, key, name);
        Log.push_back(path + L"=" + std::to_wstring(value) + (FailingWrites.count(path) ? L" (failed)" : L""));
        if (FailingWrites.count(path)) return false;
        Strings.erase(path);
        Dwords[path] = value;
        return true;
    }
    bool WriteString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value) override {
        const std::wstring path = Path(root, key, name);
        Log.push_back(path + L"=\"" + value + L"\"" + (FailingWrites.count(path) ? L" (failed)" : L""));
        if (FailingWrites.count(path)) return false;
        Dwords.erase(path);
        Strings[path] = value;
        return true;
    }
    bool CreateVolatileKey(HKEY root, const std::wstring& key) override {
        Log.push_back(L"create " + Path(root, key));
        Keys.insert(Path(root, key));
        return true;
    }
    bool KeyExists(HKEY root, const std::wstring& key) override { return Keys.count(Path(root, key)) != 0; }
    bool DeleteKey(HKEY root, const std::wstring& key) override {
        Log.push_back(L"delete " + Path(root, key));
        return Keys.erase(Path(root, key)) != 0;
    }
};

}  // namespace settingstest
