// A "Prev" record against a catalogue, both from the input (the record, then one path a line): the
// answer is -1 or an entry whose path the record names, and recording that entry resolves to it.
#include <string>
#include <vector>

#include "app/Text.h"
#include "fuzz/FuzzInput.h"
#include "host/Schedule.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> paths = SplitAt(AsText(data, size), '\n');
    const std::string prev = paths.front();
    paths.erase(paths.begin());

    const int32_t index = ResolvePrevious(prev, paths);
    FUZZ_CHECK(index >= -1 && index < static_cast<int32_t>(paths.size()));
    const size_t mark = prev.find('?');
    const std::string named = mark == std::string::npos ? prev : prev.substr(mark + 1);
    if (index < 0) {
        for (const std::string& path : paths)
            FUZZ_CHECK(prev.empty() || path != named);
        return 0;
    }
    const std::string& chosen = paths[static_cast<size_t>(index)];
    FUZZ_CHECK(AsciiLower(chosen) == AsciiLower(named));
    FUZZ_CHECK(ResolvePrevious(PreviousRecord(index, chosen), paths) == index);
    return 0;
}
