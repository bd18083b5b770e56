// Usage statistics: one URL per event handed to the maker's statistics
// library, which does the sending. Without the library nothing is sent.
#pragma once

#include <map>
#include <string>

#include "protocol/outside_exports.h"
#include "base/handles.h"

namespace companion {

// Event texts of the settings program's change codes.
const std::map<int, std::wstring>& StatEventTable();

// "a.b.c.d" from the running program's version resource: 0; -2 no version
// resource; -3 no memory. Cached after the first success.
int GetModuleVersionString(std::wstring& version);

class CStatistics {
public:
    // `productDir`: the folder above Corvalle's own (ending in '\'), where the
    // statistics library ("sweeper\Quellin.dll") and the client-id library
    // ("Zubverify.dll") are installed. Empty: nothing is loaded.
    explicit CStatistics(std::wstring productDir);
    CStatistics(const CStatistics&) = delete;
    CStatistics& operator=(const CStatistics&) = delete;

    // The one object of the process (main window and navigation pop-up).
    static CStatistics& Instance();

    bool Bound() const { return processStats_ != nullptr; }

    // Sends one of Corvalle's own events ("vyn&type=exit", ...).
    void SendStatistic(const std::wstring& eventText);
    // Sends the event of a settings change code; an unknown code sends an
    // empty event text (and is not added to the table).
    void SendSettingsEvent(int code);

    // The complete URL of an event.
    std::wstring BuildUrl(const std::wstring& eventText);
    // "&appver=" version "&m=" client id.
    void AppendStatSuffix(std::wstring& url);
    // The client id, asked for again until an answer is non-empty.
    std::wstring GetMachineId();

private:
    std::wstring productDir_;
    base::Library library_;
    protocol::outside::ProcessStatsFn processStats_ = nullptr;
    std::wstring machineId_;
};

}  // namespace companion
