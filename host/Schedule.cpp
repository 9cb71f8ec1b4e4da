#include "host/Schedule.h"

#include <cmath>

#include "app/Text.h"

int32_t ChooseNextIndex(const std::vector<bool>& checked,
                        int32_t previous,
                        const ScheduleState& state,
                        const std::function<double()>& draw) {
    const int32_t count = static_cast<int32_t>(checked.size());
    const bool previousTicked = previous >= 0 && previous < count && checked[static_cast<size_t>(previous)];
    if (state.keepDaysSaver && previousTicked) return previous;

    const bool random = state.orderMode == kOrderRandom;
    std::vector<int32_t> table;
    int32_t atOrBefore = -1;  // table position of the last ticked saver at or before `previous`
    for (int32_t i = 0; i < count; ++i) {
        if (!checked[static_cast<size_t>(i)] || (random && i == previous)) continue;
        table.push_back(i);
        if (i <= previous) atOrBefore = static_cast<int32_t>(table.size()) - 1;
    }
    if (table.empty()) {
        if (random && previousTicked) return previous;  // the only ticked one
        return -1;
    }

    const int32_t last = static_cast<int32_t>(table.size()) - 1;
    int32_t pick;
    if (random) {
        double n = static_cast<double>(table.size());
        pick = static_cast<int32_t>(std::nearbyint(draw() * (n - 0.002) - 0.499));
    } else if (state.orderMode == kOrderReverse) {
        pick = atOrBefore > 0 ? atOrBefore - 1 : last;
    } else {
        pick = atOrBefore < last ? atOrBefore + 1 : 0;
    }
    return table[static_cast<size_t>(pick)];
}

int32_t ResolvePrevious(const std::string& prev, const std::vector<std::string>& paths) {
    if (prev.empty()) return -1;
    std::string path = prev;
    size_t mark = prev.find('?');
    if (mark != std::string::npos) {
        int32_t index = ParseIntOr(std::string_view(prev).substr(0, mark), -1);
        path = prev.substr(mark + 1);
        if (index >= 0 && index < static_cast<int32_t>(paths.size()) &&
            AsciiLower(paths[static_cast<size_t>(index)]) == AsciiLower(path)) {
            return index;
        }
    }
    for (size_t i = 0; i < paths.size(); ++i) {
        if (paths[i] == path) return static_cast<int32_t>(i);
    }
    return -1;
}

std::string PreviousRecord(int32_t index, const std::string& path) {
    return index < 0 ? std::string() : std::to_string(index) + "?" + path;
}

bool ChangeTimePassed(uint32_t startTick, uint32_t nowTick, int32_t changeTimeMinutes) {
    const int32_t elapsed = static_cast<int32_t>(nowTick - startTick);
    return static_cast<int64_t>(elapsed) > static_cast<int64_t>(changeTimeMinutes) * 60000;
}
