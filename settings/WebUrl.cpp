#include "settings/WebUrl.h"

#include <cstdio>

const char kSiteAddress[] = "https://kestrella.example/vantora/";

std::string UrlEncode(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
        if (plain) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

std::string WebErrorUrl(int code, uintptr_t address, std::string_view comment) {
    std::string url = std::string(kSiteAddress) + "error.php?error=" + std::to_string(code);
    if (address != 0) {
        char hex[32];
        std::snprintf(hex, sizeof hex, "%08llX", static_cast<unsigned long long>(address));
        url += "&eradr=";
        url += hex;
    }
    if (!comment.empty()) url += "&comment=" + UrlEncode(comment);
    return url;
}
