#include "app/CommandLine.h"

#include "app/Text.h"

CommandLine ParseCommandLine(std::string_view first, std::string_view second) {
    std::string_view word = first;
    std::string_view arg = second;
    size_t colon = first.find(':');
    if (colon != std::string_view::npos) {
        word = first.substr(0, colon);
        arg = first.substr(colon + 1);
    }
    // Windows passes "/s", users type "-s"; whatever the first character is, it goes.
    if (!word.empty()) word.remove_prefix(1);

    CommandLine cl;
    cl.modeWord = AsciiLower(word);
    cl.modeArg = AsciiLower(arg);
    cl.windowArg = ParseIntOr(cl.modeArg, 0);
    return cl;
}

Mode ModeFor(std::string_view modeWord) {
    if (modeWord.empty() || modeWord == "c") return Mode::Settings;
    if (modeWord == "p") return Mode::Preview;
    if (modeWord == "s") return Mode::FullScreen;
    if (modeWord == "a") return Mode::ChangePassword;
    return Mode::None;
}
