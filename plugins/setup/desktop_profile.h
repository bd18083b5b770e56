// The paths of the maker's desktop product, built once per process so the
// web-app code finds the product's runner and its path file without
// rebuilding them. A base folder that can't be found (or a host path over
// 260 characters) leaves its paths empty; callers skip what needs them.
#pragma once

#include <string>

namespace setup {

class CProfile {
public:
    // Builds the table from the host program's folder, the application-data
    // folder's "ZubDesktop" (made a folder when something else has its
    // name) and the Program Files folder.
    CProfile();

    const std::wstring& GetWebAppRunnerPath() const { return programFile_[kRunner]; }
    const std::wstring& GetWebAppPathIni() const { return dataFile_[kWebAppPathIni]; }
    const std::wstring& ProgramFilesFolder() const { return programFiles_; }

private:
    // Positions in the tables below (kept in the order of the name lists).
    static constexpr int kRunner = 3;
    static constexpr int kWebAppPathIni = 15;
    static constexpr int kProgramNames = 7;
    static constexpr int kDataNames = 17;

    std::wstring programFiles_;
    std::wstring programFile_[kProgramNames];
    std::wstring dataFile_[kDataNames];
};

// The process's one table, made at the first call (several threads making
// the first call get the same object).
const CProfile& GetProfile();

}  // namespace setup
