// The first two arguments of any command line: the mode word and its argument come out lower-case,
// the window handle is the argument's number (0 when it is none), and writing the result back in
// the "/word:arg" form parses to the same thing.
#include <algorithm>

#include "app/CommandLine.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = AsText(data, size);
    const size_t cut = text.find('\0');
    const std::string_view first = text.substr(0, cut);
    const std::string_view second = cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);
    const CommandLine parsed = ParseCommandLine(first, second);

    for (const std::string* part : {&parsed.modeWord, &parsed.modeArg})
        FUZZ_CHECK(part->find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos);
    FUZZ_CHECK(parsed.windowArg == ReferenceInt(parsed.modeArg).value_or(0));
    // The word is what stands before the first ':' less its first character, whatever that is.
    const size_t wordLength = std::min(first.size(), first.find(':'));
    FUZZ_CHECK(parsed.modeWord.size() == (wordLength == 0 ? 0 : wordLength - 1));

    const CommandLine again = ParseCommandLine("/" + parsed.modeWord + ":" + parsed.modeArg, "ignored");
    FUZZ_CHECK(again.modeWord == parsed.modeWord && again.modeArg == parsed.modeArg &&
               again.windowArg == parsed.windowArg);

    const bool known = parsed.modeWord.size() < 2 && parsed.modeWord.find_first_not_of("cpsa") == std::string::npos;
    FUZZ_CHECK((ModeFor(parsed.modeWord) == Mode::None) == !known);
    return 0;
}
