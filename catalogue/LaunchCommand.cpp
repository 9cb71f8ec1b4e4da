#include "catalogue/LaunchCommand.h"

#include "app/Exception.h"

std::string ScreensaverSwitch(uint32_t window, bool configure, bool fullScreen) {
    if (configure && fullScreen) throw Exception("incorrect params in RunScreensaver");
    if (configure) return window == 0 ? "/c" : "/c:" + std::to_string(window);
    if (fullScreen) return "/s";
    return "/p " + std::to_string(window);
}

std::string ScreensaverCommandLine(const std::string& filePath, const std::string& switchText) {
    // Quoted even without spaces: CreateProcessA then never guesses where the program name ends.
    return "\"" + filePath + "\" " + switchText;
}
