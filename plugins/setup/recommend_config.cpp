#include "plugins/setup/recommend_config.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstring>
#include <memory>
#include <sstream>

#include <json/reader.h>

#include "base/exception_barrier.h"
#include "plugins/setup/json_value_rules.h"
#include "plugins/setup/setup_folders.h"
#include "winlib/handles.h"
#include "plugins/setup/setup_text.h"

namespace {

// Deep enough for any real file; a deeper text is refused, not recursed into.
constexpr int kJsonStackLimit = 64;

bool ReadStringArray(const Json::Value& value, bool upper, std::set<std::wstring>* out) {
    if (value.isNull()) return true;
    if (!value.isArray()) return false;
    for (Json::ArrayIndex i = 0; i < value.size(); ++i) {
        const Json::Value& item = value[i];
        if (item.isNull()) continue;
        std::wstring text;
        if (!item.isString() || !JsonText(item, &text)) return false;
        out->insert(upper ? UpperCase(text) : text);
    }
    return true;
}

bool ReadIdArray(const Json::Value& value, std::set<uint32_t>* out) {
    if (value.isNull()) return true;
    if (!value.isArray()) return false;
    for (Json::ArrayIndex i = 0; i < value.size(); ++i) {
        const Json::Value& item = value[i];
        if (item.isNull()) continue;
        uint32_t id = 0;
        if (!JsonU32(item, &id)) return false;
        out->insert(id);
    }
    return true;
}

bool ReadText(const Json::Value& value, wchar_t* dest) {
    std::wstring text;
    if (!JsonText(value, &text)) return false;
    CopyTextCut(dest, kRecommendTextChars, text);
    return true;
}

bool ReadCondition(const Json::Value& element, RecommendCondition* c) {
    // A null element has every key missing.
    static const Json::Value kMissing;
    auto key = [&](const char* name) -> const Json::Value& {
        if (!element.isObject()) return kMissing;
        const Json::Value* found = element.find(name, name + std::strlen(name));
        return found ? *found : kMissing;
    };
    RecommendResult& r = c->Result;
    return ReadStringArray(key("softKey"), false, &c->SoftKeys) &&
           ReadStringArray(key("exeKey"), true, &c->ExeKeys) &&
           ReadIdArray(key("softId"), &c->SoftIds) &&
           JsonU32(key("involve"), &c->Involve) &&
           JsonU32(key("updateInterval"), &r.UpdateInterval) &&
           ((r.RecommendRepeat = JsonFlag(key("rcmendRepeat")) ? 1 : 0), true) &&
           ReadText(key("rcmendUrl"), r.RecommendUrl) &&
           JsonU32(key("rcmendSoftId"), &r.RecommendSoftId) &&
           JsonU32(key("adId"), &r.AdId) &&
           ((r.OneKeyInstall = JsonFlag(key("oneKeyInst")) ? 1 : 0), true) &&
           ((r.AutoRun = JsonFlag(key("autoRun")) ? 1 : 0), true) &&
           ReadText(key("recmdDesp"), r.RecommendDescription) &&
           JsonU32(key("refSoftId"), &r.RefSoftId);
}

}  // namespace

std::wstring LocateRecommendConfig() { return ManagerFile(L"RUConfig.dat"); }

std::string DecryptRecommendConfig(const std::vector<uint8_t>& file, const BlowfishContext& cipher) {
    if (file.empty() || file.size() > kRecommendConfigMaxBytes) return std::string();
    const uint32_t length = static_cast<uint32_t>(file.size());
    const uint32_t capacity = ((length + 7) / 8) * 8 + 8;
    std::unique_ptr<uint8_t[]> plain(new (std::nothrow) uint8_t[capacity]());
    if (!plain) return std::string();
    if (BlowfishDecryptBuffer(file.data(), length, cipher, plain.get(), capacity) == 0) return std::string();
    // The eight extra zero bytes always end the text.
    return std::string(reinterpret_cast<const char*>(plain.get()));
}

std::vector<RecommendCondition> ParseRecommendConditions(const std::string& utf8) {
    // The reader throws on input past its limits: nothing of such a file counts.
    return base::CallGuarded(L"ParseRecommendConditions", std::vector<RecommendCondition>(), [&] {
        std::vector<RecommendCondition> conditions;
        Json::CharReaderBuilder builder;
        builder.settings_["stackLimit"] = kJsonStackLimit;
        builder.settings_["collectComments"] = false;
        builder.settings_["failIfExtra"] = true;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        Json::Value root;
        std::string errors;
        if (!reader->parse(utf8.data(), utf8.data() + utf8.size(), &root, &errors)) return conditions;
        if (!root.isArray()) return conditions;
        for (Json::ArrayIndex i = 0; i < root.size(); ++i) {
            const Json::Value& element = root[i];
            if (!element.isObject() && !element.isNull()) continue;
            RecommendCondition condition;
            if (ReadCondition(element, &condition)) conditions.push_back(std::move(condition));
        }
        return conditions;
    });
}
