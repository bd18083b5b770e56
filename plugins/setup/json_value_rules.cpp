#include "plugins/setup/json_value_rules.h"

#include "plugins/setup/setup_text.h"

namespace setup {

bool JsonFlag(const Json::Value& value) {
    switch (value.type()) {
    case Json::booleanValue: return value.asBool();
    case Json::intValue: return value.asLargestInt() != 0;
    case Json::uintValue: return value.asLargestUInt() != 0;
    case Json::realValue: return value.asDouble() != 0.0;
    case Json::stringValue: {
        const char* begin = nullptr;
        const char* end = nullptr;
        return value.getString(&begin, &end) && end != begin;
    }
    case Json::arrayValue:
    case Json::objectValue: return value.size() != 0;
    case Json::nullValue: break;
    }
    return false;
}

bool JsonU32(const Json::Value& value, uint32_t* out) {
    switch (value.type()) {
    case Json::nullValue: *out = 0; return true;
    case Json::booleanValue: *out = value.asBool() ? 1 : 0; return true;
    case Json::intValue: {
        const Json::LargestInt v = value.asLargestInt();
        if (v < 0 || v > Json::LargestInt(UINT32_MAX)) return false;
        *out = static_cast<uint32_t>(v);
        return true;
    }
    case Json::uintValue: {
        const Json::LargestUInt v = value.asLargestUInt();
        if (v > UINT32_MAX) return false;
        *out = static_cast<uint32_t>(v);
        return true;
    }
    case Json::realValue: {
        const double v = value.asDouble();
        if (!(v >= 0.0 && v < 4294967296.0)) return false;
        *out = static_cast<uint32_t>(v);
        return true;
    }
    default: return false;
    }
}

bool JsonText(const Json::Value& value, std::wstring* out) {
    if (value.isNull()) {
        out->clear();
        return true;
    }
    if (!value.isString()) return false;
    const char* begin = nullptr;
    const char* end = nullptr;
    if (!value.getString(&begin, &end)) {
        out->clear();
        return true;
    }
    *out = Utf8ToWide(std::string(begin, end));
    return true;
}

}  // namespace setup
