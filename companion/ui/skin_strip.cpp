#include "companion/ui/skin_strip.h"

#include "companion/system/shared_settings.h"

std::wstring SkinFilePath(const std::wstring& fileName) {
    std::wstring dir;
    if (fileName.empty() || !GetAppDataDir(dir)) return std::wstring();
    return dir + L"tarvisk\\vyn\\halvet\\" + fileName;
}

winlib::Bitmap LoadSkinStrip(const std::wstring& fileName) {
    const std::wstring path = SkinFilePath(fileName);
    if (path.empty()) return winlib::Bitmap();
    return winlib::Bitmap();
}
