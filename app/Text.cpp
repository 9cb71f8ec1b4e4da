#include "app/Text.h"

#include <limits>

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Decimal with optional sign and surrounding blanks. A number beyond 32 bits is still well formed:
// `overflow` says so and `value` holds the nearest 32-bit limit.
static bool ParseDecimal(std::string_view text, int32_t& value, bool& overflow) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    size_t end = text.size();
    while (end > i && IsBlank(text[end - 1]))
        --end;

    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == end) return false;

    // Accumulate as a negative number so that INT32_MIN parses without overflow.
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
    int64_t acc = 0;
    overflow = false;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        acc = acc * 10 - (text[i] - '0');
        if (acc < kMin) {
            overflow = true;
            acc = kMin;
        }
    }
    if (!negative) {
        acc = -acc;
        if (acc > std::numeric_limits<int32_t>::max()) {
            overflow = true;
            acc = std::numeric_limits<int32_t>::max();
        }
    }
    value = static_cast<int32_t>(acc);
    return true;
}

bool TryParseInt(std::string_view text, int32_t& value) {
    int32_t parsed = 0;
    bool overflow = false;
    if (!ParseDecimal(text, parsed, overflow) || overflow) return false;
    value = parsed;
    return true;
}

bool TryParseIntSaturated(std::string_view text, int32_t& value) {
    bool overflow = false;
    return ParseDecimal(text, value, overflow);
}

int32_t ParseIntOr(std::string_view text, int32_t fallback) {
    int32_t value = fallback;
    return TryParseInt(text, value) ? value : fallback;
}

std::string_view FileNameOf(std::string_view path) {
    size_t cut = path.find_last_of("\\/:");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

std::string_view ParentFolderOf(std::string_view path) {
    size_t cut = path.find_last_of("\\:");
    return cut == std::string_view::npos ? std::string_view() : path.substr(0, cut);
}
