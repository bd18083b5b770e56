#include "plugins/setup/shell_verbs.h"

#include <windows.h>
#include <oleauto.h>
#include <shldisp.h>

#include "base/handles.h"
#include "plugins/setup/x_logger.h"

namespace setup {

namespace {

const wchar_t* const kPinTexts[] = {L"附到「开始」菜单(U)", L"附到「开始」菜单(I)", L"Pin to Start Menu"};
const wchar_t* const kUnpinTexts[] = {L"从「开始」菜单解锁(U)", L"从「开始」菜单脱离(I)", L"Unpin from Start Menu"};

// {13709620-C279-11CE-A49E-444553540000}
const CLSID kShellClsid = {0x13709620, 0xC279, 0x11CE, {0xA4, 0x9E, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// Opens the verbs of `file` in `folder`; false when any step fails.
bool OpenVerbs(const std::wstring& folder, const std::wstring& file, base::ComPtr<FolderItemVerbs>& verbs) {
    base::ComPtr<IShellDispatch> shell;
    const HRESULT created =
        ::CoCreateInstance(kShellClsid, nullptr, CLSCTX_ALL, IID_IShellDispatch, shell.PutVoid());
    if (FAILED(created)) {
        LogFailure((folder + file).c_str(), L"CoCreateInstance(Shell)", static_cast<DWORD>(created));
        return false;
    }
    const base::Bstr folderText(folder);
    VARIANT where;
    ::VariantInit(&where);
    where.vt = VT_BSTR;
    where.bstrVal = folderText.Get();
    base::ComPtr<Folder> space;
    if (FAILED(shell->NameSpace(where, space.Put())) || !space) return false;
    const base::Bstr fileText(file);
    base::ComPtr<FolderItem> item;
    if (FAILED(space->ParseName(fileText.Get(), item.Put())) || !item) return false;
    return SUCCEEDED(item->Verbs(verbs.Put())) && verbs;
}

bool VerbAt(FolderItemVerbs* verbs, long index, base::ComPtr<FolderItemVerb>& verb) {
    VARIANT at;
    ::VariantInit(&at);
    at.vt = VT_I4;
    at.lVal = index;
    return SUCCEEDED(verbs->Item(at, verb.Put())) && verb;
}

class SystemVerb final : public IShellVerb {
public:
    explicit SystemVerb(FolderItemVerb* verb) : verb_(verb) {}
    std::wstring Name() override {
        base::Bstr name;
        if (FAILED(verb_->get_Name(name.Put())) || !name.Get()) return std::wstring();
        return name.Text();
    }
    bool Run() override {
        const HRESULT done = verb_->DoIt();
        if (FAILED(done)) LogFailure(Name().c_str(), L"FolderItemVerb::DoIt", static_cast<DWORD>(done));
        return SUCCEEDED(done);
    }

private:
    FolderItemVerb* verb_;
};

class SystemVerbs final : public IShellVerbSource {
public:
    void Visit(const std::wstring& folder, const std::wstring& file,
               const std::function<bool(IShellVerb&)>& visit) override {
        base::ComScope com;
        base::ComPtr<FolderItemVerbs> verbs;
        long count = 0;
        if (!OpenVerbs(folder, file, verbs) || FAILED(verbs->get_Count(&count))) return;
        for (long i = 0; i < count; ++i) {
            base::ComPtr<FolderItemVerb> verb;
            if (!VerbAt(verbs.Get(), i, verb)) continue;
            SystemVerb one(verb.Get());
            if (visit(one)) return;
        }
    }
};

}  // namespace

IShellVerbSource& SystemShellVerbs() {
    static SystemVerbs verbs;
    return verbs;
}

bool IsPinVerb(const std::wstring& verbName, bool pin) {
    std::wstring name;
    for (wchar_t c : verbName)
        if (c != L'&') name += c;
    for (const wchar_t* text : pin ? kPinTexts : kUnpinTexts)
        if (::CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, name.c_str(), -1, text, -1) == CSTR_EQUAL)
            return true;
    return false;
}

bool InvokeShellVerb(IShellVerbSource& verbs, const std::wstring& folder, const std::wstring& file, bool pin) {
    bool ran = false;
    verbs.Visit(folder, file, [&](IShellVerb& verb) {
        if (!IsPinVerb(verb.Name(), pin)) return false;
        ran = verb.Run();
        return true;
    });
    return ran;
}

}  // namespace setup
