#include "plugins/setup/json_text_check.h"

namespace setup {

namespace {

// Recursive descent over the grammar; the depth limit bounds the recursion.
class JsonTextChecker {
public:
    JsonTextChecker(const char* begin, const char* end, const JsonTextLimits& limits)
        : p_(begin), end_(end), limits_(limits) {}

    bool Text() {
        SkipSpace();
        if (!Value(0)) return false;
        SkipSpace();
        return p_ == end_;
    }

private:
    bool At(char c) const { return p_ != end_ && *p_ == c; }
    bool Take(char c) {
        if (!At(c)) return false;
        ++p_;
        return true;
    }
    void SkipSpace() {
        while (p_ != end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\n' || *p_ == '\r')) ++p_;
    }

    bool Value(size_t depth) {
        if (++values_ > limits_.MaxValues || p_ == end_) return false;
        switch (*p_) {
        case '[': return Container(depth, ']');
        case '{': return Container(depth, '}');
        case '"': return String();
        case 't': return Literal("true");
        case 'f': return Literal("false");
        case 'n': return Literal("null");
        default: return Number();
        }
    }

    // No comma before the closing bracket, none doubled.
    bool Container(size_t depth, char close) {
        if (depth >= limits_.MaxDepth) return false;
        const bool object = close == '}';
        const bool topArray = depth == 0 && !object;
        ++p_;
        SkipSpace();
        if (Take(close)) return true;
        size_t elements = 0;
        do {
            SkipSpace();
            if (object) {
                if (!At('"') || !String()) return false;
                SkipSpace();
                if (!Take(':')) return false;
                SkipSpace();
            }
            if (topArray && ++elements > limits_.MaxTopElements) return false;
            if (!Value(depth + 1)) return false;
            SkipSpace();
        } while (Take(','));
        return Take(close);
    }

    // No raw control characters; only the grammar's escapes.
    bool String() {
        ++p_;
        while (p_ != end_) {
            const unsigned char c = static_cast<unsigned char>(*p_++);
            if (c == '"') return true;
            if (c < 0x20) return false;
            if (c != '\\') continue;
            if (p_ == end_) return false;
            switch (*p_++) {
            case '"': case '\\': case '/': case 'b': case 'f': case 'n': case 'r': case 't': break;
            case 'u': {
                unsigned unit = 0;
                if (!HexUnit(&unit)) return false;
                // A high surrogate only as the first half of a pair: the
                // parser after this check refuses it alone (the grammar
                // allows either).
                if (unit >= 0xD800 && unit <= 0xDBFF &&
                    (!Take('\\') || !Take('u') || !HexUnit(&unit) || unit < 0xDC00 || unit > 0xDFFF))
                    return false;
                break;
            }
            default: return false;
            }
        }
        return false;
    }

    // Four hexadecimal digits.
    bool HexUnit(unsigned* unit) {
        *unit = 0;
        for (int i = 0; i < 4; ++i, ++p_) {
            if (p_ == end_ || !IsHexDigit(*p_)) return false;
            const char c = *p_;
            *unit = *unit * 16 + static_cast<unsigned>(IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10);
        }
        return true;
    }

    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    static bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
    bool Digits() {
        if (p_ == end_ || !IsDigit(*p_)) return false;
        while (p_ != end_ && IsDigit(*p_)) ++p_;
        return true;
    }

    // -? (0 | [1-9][0-9]*) (.[0-9]+)? ([eE][+-]?[0-9]+)? : no plus sign, no
    // leading zero (the digit after a 0 is left over and refused by the
    // caller), a digit on both sides of the point.
    bool Number() {
        Take('-');
        if (!Take('0') && !Digits()) return false;
        if (Take('.') && !Digits()) return false;
        if (Take('e') || Take('E')) {
            if (!Take('+')) Take('-');
            if (!Digits()) return false;
        }
        return true;
    }

    bool Literal(const char* word) {
        for (; *word; ++word, ++p_) {
            if (p_ == end_ || *p_ != *word) return false;
        }
        return true;
    }

    const char* p_;
    const char* const end_;
    const JsonTextLimits& limits_;
    size_t values_ = 0;
};

}  // namespace

bool CheckJsonText(const char* begin, const char* end, const JsonTextLimits& limits) {
    return JsonTextChecker(begin, end, limits).Text();
}

}  // namespace setup
