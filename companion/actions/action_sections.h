// Section names of Actions.ini, one per reminder action (and the mascot's own
// animation sets, which the main window reads).
#pragma once

namespace companion {

namespace sections {

constexpr wchar_t kLoad[] = L"VynLoad";
constexpr wchar_t kMeal[] = L"VynMeal";
constexpr wchar_t kDrink[] = L"VynDrink";
constexpr wchar_t kSleep[] = L"VynSleep";
constexpr wchar_t kFestival[] = L"VynFestival";
constexpr wchar_t kRest[] = L"VynRest";
constexpr wchar_t kRestAF[] = L"VynRestAF";
constexpr wchar_t kWeather[] = L"VynWeather";
constexpr wchar_t kCustom[] = L"VynCustom";
constexpr wchar_t kTrashClean[] = L"VynTrashClean";
constexpr wchar_t kSysDiskCheck[] = L"VynSysDiskCheck";
constexpr wchar_t kEyeGuardian[] = L"VynEyeGuardian";
constexpr wchar_t kCpuGpu[] = L"VynCpuGpu";
constexpr wchar_t kDiskPartition[] = L"VynDiskPartition";
constexpr wchar_t kCheckRun[] = L"VynCheckRun";
constexpr wchar_t kDefault[] = L"default";
constexpr wchar_t kInteractive[] = L"VynInteractive";

}  // namespace sections

}  // namespace companion
