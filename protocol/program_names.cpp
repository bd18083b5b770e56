#include "protocol/program_names.h"

namespace protocol {

std::wstring SettingsFileIn(const std::wstring& dataFolder) {
    if (dataFolder.empty()) return std::wstring();
    std::wstring path = dataFolder;
    if (path.back() != L'\\') path.push_back(L'\\');
    return path + kSettingsFileRelativePath;
}

std::wstring CompanionRunValue(const std::wstring& folder) {
    return L"\"" + folder + kCompanionProgram + L"\"";
}

std::wstring AutorunRunValue(const std::wstring& folder) {
    return CompanionRunValue(folder) + L" autorun";
}

}  // namespace protocol
