// The objects that hand out catalogue entries (class 69) and list records
// (class 68): a table, the fixed record, then the reference count (release
// rule A). Texts are pointers into the record, valid while the caller holds
// its reference.
#pragma once

#include <windows.h>

#include <cstdint>

#include "plugins/catalog/soft_list_record.h"
#include "protocol/bex_plugin.h"
#include "protocol/plugin_ref.h"

namespace catalog {

struct ISoftCatalogData : IBexPlugin {
    virtual LONG BEX_CALL Reserved3(void* unused) = 0;                 // 3: 0
    virtual LONG BEX_CALL Reserved4(void* unused) = 0;                 // 4: 0
    virtual const wchar_t* BEX_CALL GetName() = 0;                     // 5
    virtual const wchar_t* BEX_CALL GetImageUrl() = 0;                 // 6
    virtual const wchar_t* BEX_CALL GetBrowserUrl() = 0;               // 7: null unless it opens in a browser
    virtual int32_t BEX_CALL GetTotal() = 0;                           // 8
    virtual int32_t BEX_CALL GetPageCount() = 0;                       // 9
    virtual int32_t BEX_CALL OpensInBrowser() = 0;                     // 10
    virtual const wchar_t* BEX_CALL GetThemeText(int which) = 0;       // 11: 1 or 2
    virtual BOOL BEX_CALL GetThemeNumbers(int which, int* a, int* b, int* c) = 0;  // 12
    virtual const wchar_t* BEX_CALL GetColor() = 0;                    // 13
    virtual const wchar_t* BEX_CALL GetAlias() = 0;                    // 14
    virtual int32_t BEX_CALL GetCategoryId() = 0;                      // 15
    virtual const wchar_t* BEX_CALL GetDescription() = 0;              // 16
};

struct ISoftListData : IBexPlugin {
    virtual LONG BEX_CALL GetFlag(const wchar_t* name) = 0;            // 3: "new"
    virtual const wchar_t* BEX_CALL GetNamedText(const wchar_t* name) = 0;  // 4: "share", "filename"
    virtual uint32_t BEX_CALL GetSoftId() = 0;                         // 5
    virtual const wchar_t* BEX_CALL GetName() = 0;                     // 6
    virtual const wchar_t* BEX_CALL GetBrief() = 0;                    // 7
    virtual const wchar_t* BEX_CALL GetVersionName() = 0;              // 8
    virtual const wchar_t* BEX_CALL GetShortName() = 0;                // 9
    virtual const wchar_t* BEX_CALL GetLogo() = 0;                     // 10
    virtual const wchar_t* BEX_CALL GetPageUrl() = 0;                  // 11
    virtual int32_t BEX_CALL GetScore() = 0;                           // 12: 0 above 100
    virtual const wchar_t* BEX_CALL GetScoreText() = 0;                // 13
    virtual const wchar_t* BEX_CALL GetScoreComment() = 0;             // 14
    virtual const wchar_t* BEX_CALL GetVoteText() = 0;                 // 15
    virtual const wchar_t* BEX_CALL GetPublishTime() = 0;              // 16
    virtual const wchar_t* BEX_CALL GetVersion() = 0;                  // 17
    virtual int32_t BEX_CALL RunsOnThisSystem() = 0;                   // 18
    virtual int64_t BEX_CALL GetSize() = 0;                            // 19
    virtual int32_t BEX_CALL IsFree() = 0;                             // 20
    virtual int32_t BEX_CALL IsPlugin() = 0;                           // 21
    virtual int32_t BEX_CALL IsStable() = 0;                           // 22
    virtual int32_t BEX_CALL IsLanguage() = 0;                         // 23
    virtual int32_t BEX_CALL GetCategoryId() = 0;                      // 24
    virtual uint32_t BEX_CALL HasShellMarkS() = 0;                     // 25
    virtual const wchar_t* BEX_CALL GetShell() = 0;                    // 26
    virtual const wchar_t* BEX_CALL GetCommentCount() = 0;             // 27
    virtual uint32_t BEX_CALL HasShellMarkP() = 0;                     // 28
    virtual int32_t BEX_CALL MatchesBitness() = 0;                     // 29
    virtual const wchar_t* BEX_CALL GetPartner() = 0;                  // 30
    virtual const wchar_t* BEX_CALL GetHomePage() = 0;                 // 31
};

// Table, record, count: the count lies after the record.
template <typename Interface, typename Record, uint32_t Id>
class RecordObject : public Interface {
public:
    static constexpr uint32_t kClassId = Id;

    Record& Data() noexcept { return record_; }
    const Record& Data() const noexcept { return record_; }

    uint32_t BEX_CALL GetClassId() noexcept override { return Id; }
    LONG BEX_CALL AddRef() noexcept override { return ::InterlockedIncrement(&count_); }
    LONG BEX_CALL Release() noexcept override;

protected:
    RecordObject() noexcept;
    ~RecordObject() = default;

    Record record_;
    volatile LONG count_ = 1;
};

class CSoftCatalogData final : public RecordObject<ISoftCatalogData, tagSoftCatalogData, 69> {
public:
    CSoftCatalogData() noexcept;  // the defaults of an entry not yet read

    LONG BEX_CALL Reserved3(void* unused) noexcept override;
    LONG BEX_CALL Reserved4(void* unused) noexcept override;
    const wchar_t* BEX_CALL GetName() noexcept override;
    const wchar_t* BEX_CALL GetImageUrl() noexcept override;
    const wchar_t* BEX_CALL GetBrowserUrl() noexcept override;
    int32_t BEX_CALL GetTotal() noexcept override;
    int32_t BEX_CALL GetPageCount() noexcept override;
    int32_t BEX_CALL OpensInBrowser() noexcept override;
    const wchar_t* BEX_CALL GetThemeText(int which) noexcept override;
    BOOL BEX_CALL GetThemeNumbers(int which, int* a, int* b, int* c) noexcept override;
    const wchar_t* BEX_CALL GetColor() noexcept override;
    const wchar_t* BEX_CALL GetAlias() noexcept override;
    int32_t BEX_CALL GetCategoryId() noexcept override;
    const wchar_t* BEX_CALL GetDescription() noexcept override;
};

class CSoftListData final : public RecordObject<ISoftListData, tagSoftListData, 68> {
public:
    CSoftListData() noexcept;  // zero but runs-on-this-system and matches-bitness

    LONG BEX_CALL GetFlag(const wchar_t* name) noexcept override;
    const wchar_t* BEX_CALL GetNamedText(const wchar_t* name) noexcept override;
    uint32_t BEX_CALL GetSoftId() noexcept override;
    const wchar_t* BEX_CALL GetName() noexcept override;
    const wchar_t* BEX_CALL GetBrief() noexcept override;
    const wchar_t* BEX_CALL GetVersionName() noexcept override;
    const wchar_t* BEX_CALL GetShortName() noexcept override;
    const wchar_t* BEX_CALL GetLogo() noexcept override;
    const wchar_t* BEX_CALL GetPageUrl() noexcept override;
    int32_t BEX_CALL GetScore() noexcept override;
    const wchar_t* BEX_CALL GetScoreText() noexcept override;
    const wchar_t* BEX_CALL GetScoreComment() noexcept override;
    const wchar_t* BEX_CALL GetVoteText() noexcept override;
    const wchar_t* BEX_CALL GetPublishTime() noexcept override;
    const wchar_t* BEX_CALL GetVersion() noexcept override;
    int32_t BEX_CALL RunsOnThisSystem() noexcept override;
    int64_t BEX_CALL GetSize() noexcept override;
    int32_t BEX_CALL IsFree() noexcept override;
    int32_t BEX_CALL IsPlugin() noexcept override;
    int32_t BEX_CALL IsStable() noexcept override;
    int32_t BEX_CALL IsLanguage() noexcept override;
    int32_t BEX_CALL GetCategoryId() noexcept override;
    uint32_t BEX_CALL HasShellMarkS() override;
    const wchar_t* BEX_CALL GetShell() noexcept override;
    const wchar_t* BEX_CALL GetCommentCount() noexcept override;
    uint32_t BEX_CALL HasShellMarkP() override;
    int32_t BEX_CALL MatchesBitness() noexcept override;
    const wchar_t* BEX_CALL GetPartner() noexcept override;
    const wchar_t* BEX_CALL GetHomePage() noexcept override;
};

// New objects with the -3 notice (null when the kernel is unbound or memory
// is short); the table's factories use them too.
protocol::PluginRef<CSoftCatalogData> NewSoftCatalogData() noexcept;
protocol::PluginRef<CSoftListData> NewSoftListData() noexcept;
HRESULT BEX_CALL CreateSoftCatalogData(IBexPlugin** out);
HRESULT BEX_CALL CreateSoftListData(IBexPlugin** out);

}  // namespace catalog
