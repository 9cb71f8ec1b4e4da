#include "settings/DataFolderRules.h"

#include "app/Exception.h"
#include "app/Text.h"

std::string SaverListPath(const std::string& dataFolder, const std::string& installPath) {
    const std::string& folder = dataFolder.empty() ? installPath : dataFolder;
    return folder.empty() ? folder : folder + "\\saverlist.dat";
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

std::optional<int> ParsePathInd(std::string_view text) {
    const int32_t index = ParseIntOr(text, 0);
    if (index < 0 || index > kDataFolderCandidates) return std::nullopt;
    return index;
}

PathData ParsePathData(std::string_view text) {
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos) return {};
    auto part = [](std::string_view digits) -> std::optional<int32_t> {
        int32_t n = 0;
        return TryParseInt(digits, n) ? std::optional<int32_t>(n) : std::nullopt;
    };
    return {part(text.substr(0, comma)), part(text.substr(comma + 1))};
}
