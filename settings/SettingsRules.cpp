#include "settings/SettingsRules.h"

#include <cstdio>

#include "app/Exception.h"
#include "app/Text.h"

int32_t ClampSetting(int32_t value) { return value < 0 ? 0 : value > kSettingMax ? kSettingMax : value; }

int32_t SettingFromText(std::string_view text, int32_t fallback) {
    return ClampSetting(text.empty() ? fallback : ParseIntOr(text, fallback));
}

OrderSettings DecodeOrder(int32_t value) {
    OrderSettings order;
    order.changeOnceADay = (value & 8) != 0;
    order.changeEvery = (value & 16) != 0;
    // Values are clamped to be non-negative before they get here, so % gives the low bits.
    order.orderMode = value % 8;
    if (order.orderMode == 3) order.orderMode = 1;
    return order;
}

int32_t EncodeOrder(int32_t orderMode, bool changeOnceADay, bool changeEvery) {
    return orderMode + (changeOnceADay ? 8 : 0) + (changeEvery ? 16 : 0);
}

bool TimeoutNeedsRestore(int32_t systemTimeout, bool restoreDelay, int32_t delay) {
    return systemTimeout == kForeignScreenSaveTimeout || (restoreDelay && systemTimeout != delay);
}

double CivilDate(int year, int month, int day) {
    // Days from 1 March of year 0 in the proleptic Gregorian calendar, so leap days fall last.
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long days = static_cast<long>(era) * 146097 + dayOfEra;
    // 30 December 1899 is day 693899 of that count.
    return static_cast<double>(days - 693899);
}

std::string AgentCommand(const std::string& installPath) { return "\"" + installPath + "\\vtagent.exe\""; }

std::string SaverListPath(const std::string& dataFolder, const std::string& installPath) {
    return (dataFolder.empty() ? installPath : dataFolder) + "\\saverlist.dat";
}

std::string DataFolderCandidateOf(int index, const DataFolderBases& bases) {
    auto under = [](const std::string& base, const std::string& tail) { return base.empty() ? base : base + tail; };
    switch (index) {
        case 1:
            return under(bases.appData, "\\Vantora");
        case 2:
            return under(bases.appData, "\\Vantora_Data");
        case 3:
            return under(bases.installPath, "\\Data");
        case 4:
            return under(bases.documents, "\\Vantora_Data");
        case 5:
            return under(bases.temp, "Vantora_Data");
        default:
            throw Exception("Wrong pathind");
    }
}

std::string PathDataText(int32_t value, int32_t number) { return std::to_string(value) + "," + std::to_string(number); }

PathDataParse ParsePathData(std::string_view text, int32_t& value, int32_t& number) {
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos) return PathDataParse::NoSeparator;
    if (!TryParseInt(text.substr(0, comma), value) || !TryParseInt(text.substr(comma + 1), number)) {
        return PathDataParse::BadNumber;
    }
    return PathDataParse::Ok;
}

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
