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

bool TryParseInt(std::string_view text, int32_t& value) {
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
    int64_t acc = 0;
    for (; i < end; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        acc = acc * 10 - (text[i] - '0');
        if (acc < std::numeric_limits<int32_t>::min()) return false;
    }
    if (!negative) {
        acc = -acc;
        if (acc > std::numeric_limits<int32_t>::max()) return false;
    }
    value = static_cast<int32_t>(acc);
    return true;
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
