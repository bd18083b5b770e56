#include "companion/ui/skin_strip.h"

#include <string>

#include "companion/system/shared_settings.h"
#include "toolkit/bex_png.h"

std::wstring SkinFilePath(const std::wstring& fileName) {
    std::wstring dir;
    if (fileName.empty() || !GetAppDataDir(dir)) return std::wstring();
    return dir + L"tarvisk\\vyn\\halvet\\" + fileName;
}

winlib::Bitmap LoadSkinStrip(const std::wstring& fileName) {
    const std::wstring path = SkinFilePath(fileName);
    std::string bytes;
    if (path.empty() || !ReadWholeFile(path.c_str(), bytes)) return winlib::Bitmap();
    return DecodePngToDib(bytes.data(), bytes.size());
}
