// Turning the screensaver command line into a mode. Pure: built and tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct CommandLine {
    std::string modeWord;   // the switch without its first character, lower-cased
    std::string modeArg;    // text after ':' or the second argument, lower-cased
    int32_t windowArg = 0;  // modeArg as a signed decimal, 0 when empty or not a number
};

// `first` and `second` are the first two arguments as the platform split them (empty when missing).
CommandLine ParseCommandLine(std::string_view first, std::string_view second);

enum class Mode { Settings, Preview, FullScreen, ChangePassword, None };

// The mode word is compared whole: "/save" is not "/s".
Mode ModeFor(std::string_view modeWord);
