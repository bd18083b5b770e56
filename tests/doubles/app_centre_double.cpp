// The app centre's data library (tests copy it as "NessaryData.dll" beside
// the host program). It serves the web apps of a configuration file:
//   APP_CENTRE_APPS  one web app per line: id<TAB>kind<TAB>folder<TAB>address;
//                    a line "count<TAB>N" makes slot 32 answer N instead,
//                    "null<TAB>ID" makes the record of ID null;
//   APP_CENTRE_LOG   "ipc", "count N", "ids N", "record ID", "end" lines.
// A slot no one may call logs UNEXPECTED and ends the process.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "protocol/outside_exports.h"
#include "tests/doubles/outside_log.h"
#include "tests/doubles/typed_slots.h"

namespace ac = protocol::outside::app_centre;

namespace {

struct Record {
    void* const* table;
    uint32_t id = 0;
    int kind = 0;
    std::wstring folder;
    std::wstring address;
};

struct Config {
    std::vector<Record> apps;
    std::vector<uint32_t> nullIds;
    bool countSet = false;
    int count = 0;
};

void Log(const std::wstring& line) { AppendLogLine(L"APP_CENTRE_LOG", line.c_str()); }

void __stdcall Unexpected() {
    Log(L"UNEXPECTED");
    ::ExitProcess(99);
}

std::wstring Wide(const std::string& text) {
    const int chars = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (chars <= 1) return std::wstring();
    std::wstring out(static_cast<size_t>(chars), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], chars);
    out.resize(static_cast<size_t>(chars - 1));
    return out;
}

std::vector<std::wstring> Fields(const std::wstring& line) {
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find(L'\t', start);
        fields.push_back(line.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
        if (tab == std::wstring::npos) return fields;
        start = tab + 1;
    }
}

Record* AsRecord(ac::Record* self) { return reinterpret_cast<Record*>(self); }
const wchar_t* __stdcall RecordFolder(ac::Record* self) { return AsRecord(self)->folder.c_str(); }
const wchar_t* __stdcall RecordAddress(ac::Record* self) { return AsRecord(self)->address.c_str(); }
int __stdcall RecordKind(ac::Record* self) { return AsRecord(self)->kind; }

// A slot table whose every slot but the ones set is unexpected.
struct Table {
    void* slots[protocol::kMaxSlots];
    Table() {
        for (void*& slot : slots) slot = reinterpret_cast<void*>(&Unexpected);
    }
};

void* const* RecordTable() {
    static const Table table = [] {
        Table t;
        standin::SetSlot(t.slots, ac::kRecordKind, &RecordKind);
        standin::SetSlot(t.slots, ac::kRecordFolder, &RecordFolder);
        standin::SetSlot(t.slots, ac::kRecordAddress, &RecordAddress);
        return t;
    }();
    return table.slots;
}

Config LoadConfig() {
    Config config;
    wchar_t path[MAX_PATH] = {};
    const DWORD len = ::GetEnvironmentVariableW(L"APP_CENTRE_APPS", path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return config;
    FILE* f = ::_wfopen(path, L"rb");
    if (!f) return config;
    char buffer[4096];
    while (std::fgets(buffer, sizeof(buffer), f)) {
        std::string narrow(buffer);
        while (!narrow.empty() && (narrow.back() == '\n' || narrow.back() == '\r')) narrow.pop_back();
        const std::vector<std::wstring> fields = Fields(Wide(narrow));
        if (fields.size() >= 2 && fields[0] == L"count") {
            config.countSet = true;
            config.count = std::wcstol(fields[1].c_str(), nullptr, 10);
        } else if (fields.size() >= 2 && fields[0] == L"null") {
            config.nullIds.push_back(std::wcstoul(fields[1].c_str(), nullptr, 10));
        } else if (fields.size() >= 4) {
            Record record;
            record.table = RecordTable();
            record.id = std::wcstoul(fields[0].c_str(), nullptr, 10);
            record.kind = std::wcstol(fields[1].c_str(), nullptr, 10);
            record.folder = fields[2];
            record.address = fields[3];
            config.apps.push_back(record);
        }
    }
    std::fclose(f);
    return config;
}

struct DataInterface {
    void* const* table;
    Config config;
};

DataInterface* AsData(ac::Data* self) { return reinterpret_cast<DataInterface*>(self); }

int __stdcall WebAppCount(ac::Data* object) {
    DataInterface* self = AsData(object);
    const int count = self->config.countSet ? self->config.count : static_cast<int>(self->config.apps.size());
    Log(L"count " + std::to_wstring(count));
    return count;
}

int __stdcall WebAppIds(ac::Data* object, uint32_t* ids, int count) {
    DataInterface* self = AsData(object);
    Log(L"ids " + std::to_wstring(count));
    int filled = 0;
    for (const Record& record : self->config.apps) {
        if (filled >= count) break;
        ids[filled++] = record.id;
    }
    return filled;
}

ac::Record* __stdcall WebAppRecord(ac::Data* object, uint32_t id) {
    DataInterface* self = AsData(object);
    Log(L"record " + std::to_wstring(id));
    for (uint32_t nullId : self->config.nullIds)
        if (nullId == id) return nullptr;
    for (Record& record : self->config.apps)
        if (record.id == id) return reinterpret_cast<ac::Record*>(&record);
    return nullptr;
}

void __stdcall EndUse(ac::Data*) { Log(L"end"); }

void* const* DataTable() {
    static const Table table = [] {
        Table t;
        standin::SetSlot(t.slots, ac::kEndUse, &EndUse);
        standin::SetSlot(t.slots, ac::kWebAppRecord, &WebAppRecord);
        standin::SetSlot(t.slots, ac::kWebAppCount, &WebAppCount);
        standin::SetSlot(t.slots, ac::kWebAppIds, &WebAppIds);
        return t;
    }();
    return table.slots;
}

struct IpcManager {
    void* const* table;
};

// The IPC manager is only made, never called.
void* const* IpcTable() {
    static const Table table;
    return table.slots;
}

DataInterface g_data;
IpcManager g_ipc;

}  // namespace

extern "C" __declspec(dllexport) ac::Data* __stdcall CreateNessaryDataInterface() {
    g_data.table = DataTable();
    g_data.config = LoadConfig();
    return reinterpret_cast<ac::Data*>(&g_data);
}

extern "C" __declspec(dllexport) ac::IpcManager* __stdcall CreateNessaryIPCMgr() {
    Log(L"ipc");
    g_ipc.table = IpcTable();
    return reinterpret_cast<ac::IpcManager*>(&g_ipc);
}

static_assert(
    std::is_same<decltype(&CreateNessaryDataInterface), protocol::outside::CreateNessaryDataInterfaceFn>::value,
    "the export as the callers declare it");
static_assert(std::is_same<decltype(&CreateNessaryIPCMgr), protocol::outside::CreateNessaryIpcMgrFn>::value,
              "the export as the callers declare it");
