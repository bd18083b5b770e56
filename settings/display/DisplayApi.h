// Everything the display-mode controller does to the machine, behind one
// seam: the display settings and the registry values that set text size.
// Under a test nothing of it may run for real, since changing the display or
// the DPI changes the machine the tests run on.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace settings {

// One entry of the primary display's mode list.
struct TDisplayMode {
    int Index = 0;
    int Width = 0;
    int Height = 0;
    int Frequency = 0;
};

class IDisplayApi {
public:
    virtual bool VistaOrLater() = 0;
    virtual bool Win7() = 0;

    // The primary display's current settings; false when they cannot be read.
    virtual bool CurrentDisplay(int& width, int& height, int& frequency) = 0;
    virtual std::vector<TDisplayMode> DisplayModes() = 0;
    // Each changes only the fields it names, on top of the first listed mode,
    // and stores the change for the next start. Returns a DISP_CHANGE_ code.
    virtual LONG ChangeResolution(int width, int height) = 0;
    virtual LONG ChangeFrequency(int frequency) = 0;

    // Registry values in the settings program's view of the registry. A
    // value that is missing or of another type reads as false; writes create
    // the key when it is missing.
    virtual bool ReadDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD& value) = 0;
    virtual bool ReadString(HKEY root, const std::wstring& key, const std::wstring& name, std::wstring& value) = 0;
    virtual bool WriteDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD value) = 0;
    virtual bool WriteString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value) = 0;
    // A key that the system drops at its next start.
    virtual bool CreateVolatileKey(HKEY root, const std::wstring& key) = 0;
    virtual bool KeyExists(HKEY root, const std::wstring& key) = 0;
    virtual bool DeleteKey(HKEY root, const std::wstring& key) = 0;

protected:
    ~IDisplayApi() = default;
};

// The real display and registry.
IDisplayApi& SystemDisplayApi();

}  // namespace settings
