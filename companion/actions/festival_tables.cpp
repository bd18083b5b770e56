#include "companion/actions/festival_tables.h"

#include <cwchar>

namespace companion {

namespace {

struct DatedFestival {
    const wchar_t* date;
    const wchar_t* name;
};

// The years the companion first shipped with. Three days there fell on a
// month-day festival too and carry a combined name.
const DatedFestival kFirstYears[] = {
    {L"20050117", L"腊八节"}, {L"20050208", L"除夕"}, {L"20050209", L"春节"}, {L"20050223", L"元宵节"},
    {L"20050611", L"端午节"}, {L"20050918", L"中秋节"}, {L"20051011", L"重阳节"},
    {L"20060107", L"腊八节"}, {L"20060128", L"除夕"}, {L"20060129", L"春节"}, {L"20060212", L"元宵节"},
    {L"20060531", L"端午节"}, {L"20061006", L"中秋节"}, {L"20061030", L"重阳节"},
    {L"20070126", L"腊八节"}, {L"20070217", L"除夕"}, {L"20070218", L"春节"}, {L"20070304", L"元宵节"},
    {L"20070619", L"端午节"}, {L"20070925", L"中秋节"}, {L"20071019", L"重阳节"},
    {L"20080115", L"腊八节"}, {L"20080206", L"除夕"}, {L"20080207", L"春节"}, {L"20080221", L"元宵节"},
    {L"20080608", L"端午节"}, {L"20080914", L"中秋节"}, {L"20081007", L"重阳节"},
    {L"20090103", L"腊八节"}, {L"20090125", L"除夕"}, {L"20090126", L"春节"}, {L"20090209", L"元宵节"},
    {L"20090528", L"端午节"}, {L"20091003", L"中秋节"}, {L"20091026", L"重阳节"},
    {L"20100122", L"腊八节"}, {L"20100213", L"除夕"}, {L"20100214", L"春节也是情人节"}, {L"20100228", L"元宵节"},
    {L"20100616", L"端午节"}, {L"20100922", L"中秋节"}, {L"20101016", L"重阳节"},
    {L"20110111", L"腊八节"}, {L"20110202", L"除夕"}, {L"20110203", L"春节"}, {L"20110217", L"元宵节"},
    {L"20110606", L"端午节"}, {L"20110912", L"中秋节"}, {L"20111005", L"重阳节"},
    {L"20120101", L"腊八节也是元旦"}, {L"20120122", L"除夕"}, {L"20120123", L"春节"}, {L"20120206", L"元宵节"},
    {L"20120623", L"端午节"}, {L"20120930", L"中秋节"}, {L"20121023", L"重阳节"},
    {L"20130119", L"腊八节"}, {L"20130209", L"除夕"}, {L"20130210", L"春节"}, {L"20130224", L"元宵节"},
    {L"20130612", L"端午节"}, {L"20130919", L"中秋节"}, {L"20131013", L"重阳节"},
    {L"20140108", L"腊八节"}, {L"20140130", L"除夕"}, {L"20140131", L"春节"}, {L"20140214", L"元宵节也是情人节"},
    {L"20140602", L"端午节"}, {L"20140908", L"中秋节"}, {L"20141002", L"重阳节"},
};

// The later years, generated at build time from the calendar data file.
const DatedFestival kLaterYears[] = {
#include "festival_dates.inc"
};

}  // namespace

std::map<std::wstring, std::wstring> BuildMonthDayFestivalTable() {
    return {
        {L"0101", L"元旦"},   {L"0214", L"情人节"},   {L"0308", L"妇女节"}, {L"0312", L"植树节"},
        {L"0401", L"愚人节"}, {L"0501", L"劳动节"},   {L"0504", L"青年节"}, {L"0601", L"儿童节"},
        {L"0701", L"党的生日"}, {L"0801", L"建军节"}, {L"0910", L"教师节"}, {L"1001", L"国庆节"},
        {L"1224", L"平安夜"}, {L"1225", L"圣诞节"},
    };
}

std::map<std::wstring, std::wstring> BuildFestivalTable() {
    std::map<std::wstring, std::wstring> table;
    for (const DatedFestival& f : kFirstYears) table.emplace(f.date, f.name);
    // emplace keeps the first years' entries (and their combined names).
    for (const DatedFestival& f : kLaterYears) table.emplace(f.date, f.name);
    return table;
}

std::wstring LookUpFestival(const SYSTEMTIME& date) {
    wchar_t key[16] = {};
    std::swprintf(key, 16, L"%d%02d%02d", date.wYear, date.wMonth, date.wDay);
    const auto dated = BuildFestivalTable();
    const auto found = dated.find(key);
    if (found != dated.end()) return found->second;
    std::swprintf(key, 16, L"%02d%02d", date.wMonth, date.wDay);
    const auto monthDay = BuildMonthDayFestivalTable();
    const auto day = monthDay.find(key);
    return day == monthDay.end() ? std::wstring() : day->second;
}

}  // namespace companion
