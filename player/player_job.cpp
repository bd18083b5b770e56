#include "player/player_job.h"

#include <cwchar>

namespace player {

std::wstring LastThreeChars(const std::wstring& text) {
    return text.size() <= 3 ? text : text.substr(text.size() - 3);
}

PlayerJob ParsePlayerJob(const wchar_t* commandLine) {
    PlayerJob job;
    if (!commandLine || !*commandLine) return job;
    job.target = ToLowerAscii(commandLine);
    job.kind = job.target.size() > 4 && LastThreeChars(job.target) == L"xml" ? PlayerJobKind::Download
                                                                              : PlayerJobKind::Play;
    return job;
}

std::wstring DatedWeatherXml(const std::wstring& tempDir, const SYSTEMTIME& localDate) {
    wchar_t name[32] = {};
    std::swprintf(name, 32, L"%.4d%.2d%.2d.xml", localDate.wYear, localDate.wMonth, localDate.wDay);
    return tempDir + name;
}

}  // namespace player
