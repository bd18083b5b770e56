// The festivals the mascot greets: fixed month-day festivals and the
// lunar-calendar ones, which move on the solar calendar from year to year.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace companion {

// "MMDD" -> name.
std::map<std::wstring, std::wstring> BuildMonthDayFestivalTable();
// "YYYYMMDD" -> name of the lunar festivals.
std::map<std::wstring, std::wstring> BuildFestivalTable();

// The name of the festival on `date`, or empty. The dated festivals win over
// the month-day ones.
std::wstring LookUpFestival(const SYSTEMTIME& date);

}  // namespace companion
