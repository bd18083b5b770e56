#include "protocol/program_names.h"

namespace protocol {

namespace {

std::wstring UnderDataFolder(const std::wstring& dataFolder, const std::wstring& relative) {
    if (dataFolder.empty()) return std::wstring();
    std::wstring path = dataFolder;
    if (path.back() != L'\\') path.push_back(L'\\');
    return path + relative;
}

}  // namespace

std::wstring SettingsFileIn(const std::wstring& dataFolder) {
    return UnderDataFolder(dataFolder, kSettingsFileRelativePath);
}

std::wstring SkinFolderIn(const std::wstring& dataFolder) {
    return UnderDataFolder(dataFolder, std::wstring(kSkinParentRelativePath) + kSkinFolderName + L"\\");
}

std::wstring CompanionRunValue(const std::wstring& folder) {
    return L"\"" + folder + kCompanionProgram + L"\"";
}

std::wstring AutorunRunValue(const std::wstring& folder) {
    return CompanionRunValue(folder) + L" autorun";
}

}  // namespace protocol
