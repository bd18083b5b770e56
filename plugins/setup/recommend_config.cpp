#include "plugins/setup/recommend_config.h"

#include <windows.h>

#include <cstring>
#include <memory>

#include <json/reader.h>

#include "plugins/setup/json_text_check.h"
#include "plugins/setup/json_value_rules.h"
#include "plugins/setup/setup_folders.h"
#include "plugins/setup/setup_text.h"
#include "base/handles.h"

namespace setup {

namespace {

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
    // Decrypted straight into the text: a file near the cap is not held a
    // third time.
    std::string text(capacity, '\0');
    uint8_t* plain = reinterpret_cast<uint8_t*>(&text[0]);
    if (BlowfishDecryptBuffer(file.data(), length, cipher, plain, capacity) == 0) return std::string();
    // The eight extra zero bytes always end the text.
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::vector<RecommendCondition> ParseRecommendConditions(const std::string& utf8) {
    // A byte order mark may be ignored before a JSON text.
    const char* begin = utf8.data();
    const char* const end = begin + utf8.size();
    if (utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) begin += 3;
    // Checked whole first: nothing of a text outside the grammar or past the
    // limits is parsed, and jsoncpp then never meets its own stack limit.
    constexpr JsonTextLimits kLimits{kRecommendJsonDepthMax, kRecommendJsonValuesMax, kRecommendConditionsMax};
    if (!CheckJsonText(begin, end, kLimits)) return {};
    std::vector<RecommendCondition> conditions;
    try {
        Json::CharReaderBuilder builder;
        Json::CharReaderBuilder::strictMode(&builder.settings_);
        // The grammar allows any value at the top and repeated names (the
        // last one counts); the mark was skipped above. The reader's stack
        // counts the innermost value as well as the containers around it.
        builder.settings_["strictRoot"] = false;
        builder.settings_["rejectDupKeys"] = false;
        builder.settings_["skipBom"] = false;
        builder.settings_["stackLimit"] = static_cast<int>(kRecommendJsonDepthMax) + 1;
        builder.settings_["collectComments"] = false;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        Json::Value root;
        std::string errors;
        if (!reader->parse(begin, end, &root, &errors)) return conditions;
        if (!root.isArray()) return conditions;
        conditions.reserve(root.size());
        for (Json::ArrayIndex i = 0; i < root.size(); ++i) {
            const Json::Value& element = root[i];
            if (!element.isObject() && !element.isNull()) continue;
            RecommendCondition condition;
            if (ReadCondition(element, &condition)) conditions.push_back(std::move(condition));
        }
    } catch (const Json::Exception&) {
        // The reader's own refusal of the text (its limits are kept above).
        conditions.clear();
    }
    return conditions;
}

}  // namespace setup
