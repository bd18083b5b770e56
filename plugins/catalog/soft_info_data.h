// One piece of software's information as the catalogue hands it out (class
// 108): the fixed record, then the reference count (release rule A). Texts
// are pointers into the record, valid while the caller holds its reference.
#pragma once

#include <windows.h>

#include <cstdint>

#include "plugins/catalog/soft_info_record.h"
#include "protocol/bex_plugin.h"
#include "protocol/plugin_ref.h"

namespace catalog {

struct ISoftInfoData : IBexPlugin {
    virtual LONG BEX_CALL GetObject(void* unused) = 0;                  // 3: 0
    virtual const wchar_t* BEX_CALL GetNamedText(const wchar_t* name) = 0;  // 4: "share", "baikename"
    virtual uint32_t BEX_CALL IsFlagClear() = 0;                        // 5
    virtual uint32_t BEX_CALL GetSoftId() = 0;                          // 6
    virtual const wchar_t* BEX_CALL GetName() = 0;                      // 7
    virtual const wchar_t* BEX_CALL GetTextA() = 0;                     // 8
    virtual const wchar_t* BEX_CALL GetLogo() = 0;                      // 9
    virtual const wchar_t* BEX_CALL GetTextB() = 0;                     // 10
    virtual const wchar_t* BEX_CALL GetVdisp() = 0;                     // 11
    virtual const wchar_t* BEX_CALL GetPtime() = 0;                     // 12
    virtual const wchar_t* BEX_CALL GetTextC() = 0;                     // 13
    virtual uint32_t BEX_CALL GetValueD() = 0;                          // 14
    virtual uint32_t BEX_CALL GetRating() = 0;                          // 15: 0 above 100
    virtual const wchar_t* BEX_CALL GetRatingText() = 0;                // 16
    virtual const wchar_t* BEX_CALL GetDetailsText() = 0;               // 17
    virtual const wchar_t* BEX_CALL GetDetailsShortText() = 0;          // 18
    virtual const wchar_t* BEX_CALL GetSurl() = 0;                      // 19
    virtual uint32_t BEX_CALL IsOsMatched() = 0;                        // 20
    virtual uint32_t BEX_CALL GetSize() = 0;                            // 21
    virtual uint32_t BEX_CALL IsFree() = 0;                             // 22
    virtual uint32_t BEX_CALL IsPlugin() = 0;                           // 23
    virtual uint32_t BEX_CALL IsStable() = 0;                           // 24
    virtual uint32_t BEX_CALL IsLanguage() = 0;                         // 25
    virtual uint32_t BEX_CALL IsImportant() = 0;                        // 26
    virtual const wchar_t* BEX_CALL GetUrate() = 0;                     // 27
    virtual const wchar_t* BEX_CALL GetEid() = 0;                       // 28
    virtual const wchar_t* BEX_CALL GetDurls() = 0;                     // 29
    virtual const wchar_t* BEX_CALL GetShell() = 0;                     // 30
    virtual uint32_t BEX_CALL HasShellMarkS() = 0;                      // 31
    virtual uint32_t BEX_CALL HasShellMarkP() = 0;                      // 32
    virtual void BEX_CALL Destroy() = 0;                                // 33: frees the object
};

class CSoftInfoData final : public ISoftInfoData {
public:
    static constexpr uint32_t kClassId = 108;

    CSoftInfoData() noexcept;  // zero-filled record, count 1

    tagSoftInfoData& Record() noexcept { return record_; }
    const tagSoftInfoData& Record() const noexcept { return record_; }

    uint32_t BEX_CALL GetClassId() noexcept override;
    LONG BEX_CALL AddRef() noexcept override;
    LONG BEX_CALL Release() noexcept override;

    LONG BEX_CALL GetObject(void* unused) noexcept override;
    const wchar_t* BEX_CALL GetNamedText(const wchar_t* name) noexcept override;
    uint32_t BEX_CALL IsFlagClear() noexcept override;
    uint32_t BEX_CALL GetSoftId() noexcept override;
    const wchar_t* BEX_CALL GetName() noexcept override;
    const wchar_t* BEX_CALL GetTextA() noexcept override;
    const wchar_t* BEX_CALL GetLogo() noexcept override;
    const wchar_t* BEX_CALL GetTextB() noexcept override;
    const wchar_t* BEX_CALL GetVdisp() noexcept override;
    const wchar_t* BEX_CALL GetPtime() noexcept override;
    const wchar_t* BEX_CALL GetTextC() noexcept override;
    uint32_t BEX_CALL GetValueD() noexcept override;
    uint32_t BEX_CALL GetRating() noexcept override;
    const wchar_t* BEX_CALL GetRatingText() noexcept override;
    const wchar_t* BEX_CALL GetDetailsText() noexcept override;
    const wchar_t* BEX_CALL GetDetailsShortText() noexcept override;
    const wchar_t* BEX_CALL GetSurl() noexcept override;
    uint32_t BEX_CALL IsOsMatched() noexcept override;
    uint32_t BEX_CALL GetSize() noexcept override;
    uint32_t BEX_CALL IsFree() noexcept override;
    uint32_t BEX_CALL IsPlugin() noexcept override;
    uint32_t BEX_CALL IsStable() noexcept override;
    uint32_t BEX_CALL IsLanguage() noexcept override;
    uint32_t BEX_CALL IsImportant() noexcept override;
    const wchar_t* BEX_CALL GetUrate() noexcept override;
    const wchar_t* BEX_CALL GetEid() noexcept override;
    const wchar_t* BEX_CALL GetDurls() noexcept override;
    const wchar_t* BEX_CALL GetShell() noexcept override;
    uint32_t BEX_CALL HasShellMarkS() override;
    uint32_t BEX_CALL HasShellMarkP() override;
    void BEX_CALL Destroy() noexcept override;

private:
    ~CSoftInfoData() = default;

    tagSoftInfoData record_;
    volatile LONG count_ = 1;
};

// A new record object with the -3 notice (null when the kernel is unbound or
// memory is short); the table's factory uses it too.
protocol::PluginRef<CSoftInfoData> NewSoftInfoData() noexcept;
HRESULT BEX_CALL CreateSoftInfoData(IBexPlugin** out);

// The shell mark test: false from Windows 6.2 on; else the shell text up to
// its last ".", its part after the last "_", must contain `mark`.
bool HasShellMark(const wchar_t* shell, const wchar_t* mark, DWORD major, DWORD minor);
// The same test at this system's version (through the seam below): 1 or 0.
uint32_t ShellMark(const wchar_t* shell, const wchar_t* mark);

// The Windows version the shell mark test asks; replaceable for tests.
using WindowsVersionFn = void (*)(DWORD* major, DWORD* minor);
void SetWindowsVersionSeam(WindowsVersionFn fn);  // null: GetVersionExW

}  // namespace catalog
