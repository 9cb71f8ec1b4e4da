#include "host/RunLog.h"

#include <cstdio>

namespace {

const char* EventText(RunEvent event) {
    switch (event) {
        case RunEvent::Started:
            return "started";
        case RunEvent::TimeUp:
            return "time up";
        case RunEvent::UserInput:
            return "user input";
        case RunEvent::EndedByItself:
            return "ended by itself";
        case RunEvent::FailedToStart:
            return "failed to start";
        case RunEvent::NotInFrontUnticked:
            return "not in front, unticked";
        case RunEvent::AllFailed:
            return "all failed, black screen";
    }
    return "?";
}

}  // namespace

std::string RunLogLine(const LocalTime& time, RunEvent event, std::string_view path) {
    char head[80];
    std::snprintf(head, sizeof head, "%04d-%02d-%02d %02d:%02d:%02d  %-24s  ", time.year, time.month, time.day,
                  time.hour, time.minute, time.second, EventText(event));
    std::string line = head;
    line.append(path);
    // Without a path the padding would only trail.
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line + "\r\n";
}

size_t CountLines(std::string_view text) {
    size_t lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines + (!text.empty() && text.back() != '\n');
}

std::string_view LastLines(std::string_view text, size_t count) {
    if (count == 0) return text.substr(text.size());
    size_t start = text.size();
    // The last line's own LF does not begin a line.
    if (start > 0 && text[start - 1] == '\n') --start;
    while (start > 0) {
        if (text[start - 1] == '\n' && count-- <= 1) return text.substr(start);
        --start;
    }
    return text;
}
