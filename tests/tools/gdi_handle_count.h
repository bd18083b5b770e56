// The live GDI objects of a process, counted from the GDI handle table the
// system maps into every GUI process: where GetGuiResources is not
// implemented (Wine), this still answers. Shared by winprobe and the tests.
#pragma once

#include <windows.h>
#include <winternl.h>

#include <vector>

#include "base/module_exports.h"

namespace gdi_count {

// One slot of the GDI handle table that the system maps into every GUI
// process (its address is in the process environment block).
struct GdiHandleEntry {
    unsigned long long object;
    USHORT ownerProcessId;  // 0 where the table is the process's own
    USHORT ownerCount;
    UCHAR extType;  // bits 0-6 the object type, bit 7 the stock flag
    UCHAR generation;
    USHORT type;
    unsigned long long userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24, "the table's slot is 24 bytes");
inline constexpr size_t kGdiHandleSlots = 0x10000;

using QueryInformationProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

// Counts the process's live GDI objects (stock objects left out) from its
// handle table: where GetGuiResources is not implemented, this still answers.
// -1 when the table cannot be read.
inline long CountGdiHandles(HANDLE process, DWORD pid) {
    const auto query =
        base::Export<QueryInformationProcess>(::GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess");
    if (!query) return -1;
    PROCESS_BASIC_INFORMATION basic{};
    if (query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0 || !basic.PebBaseAddress)
        return -1;
    // The table's address in the environment block of a process of this
    // program's own architecture (the counted programs are built with it).
    constexpr size_t kGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;
    const GdiHandleEntry* base = nullptr;
    SIZE_T read = 0;
    const auto* peb = reinterpret_cast<const BYTE*>(basic.PebBaseAddress);
    if (!::ReadProcessMemory(process, peb + kGdiTableOffset, &base, sizeof(base), &read) || !base) return -1;
    // Read in pieces: the table may end before its largest size.
    constexpr size_t kPiece = 4096;
    std::vector<GdiHandleEntry> entries(kPiece);
    long count = 0;
    for (size_t first = 0; first < kGdiHandleSlots; first += kPiece) {
        if (!::ReadProcessMemory(process, base + first, entries.data(), kPiece * sizeof(GdiHandleEntry), &read))
            break;
        for (const GdiHandleEntry& e : entries) {
            // A freed slot keeps its kind and a pointer; only its type is cleared.
            if ((e.extType & 0x7f) == 0 || (e.extType & 0x80) || e.object == 0 || e.type == 0) continue;
            if (e.ownerProcessId != 0 && e.ownerProcessId != static_cast<USHORT>(pid)) continue;
            ++count;
        }
    }
    return count;
}

}  // namespace gdi_count
