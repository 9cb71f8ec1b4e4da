#include "settings/DataFolderRules.h"

#include "app/Exception.h"
#include "app/Text.h"

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
