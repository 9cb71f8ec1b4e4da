// Which screensaver runs next, and when to change it. Pure: built and tested natively.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum : int32_t { kOrderSequential = 1, kOrderRandom = 2, kOrderReverse = 4 };

struct ScheduleState {
    int32_t orderMode = kOrderSequential;
    bool keepDaysSaver = false;  // "Change once a day" and the day's saver is already chosen
};

// The next saver index after `previous` (-1 for none) among the ticked entries of `checked`, or -1
// when nothing is ticked. `draw` gives reals in [0, 1) for Random order. Orders other than the
// three known ones move on like Sequential.
int32_t ChooseNextIndex(const std::vector<bool>& checked,
                        int32_t previous,
                        const ScheduleState& state,
                        const std::function<double()>& draw);

// "Prev" is "<index>?<path>". The recorded index wins when it still names the same path (letter
// case ignored); otherwise the first entry with exactly that path; otherwise -1.
int32_t ResolvePrevious(const std::string& prev, const std::vector<std::string>& paths);
std::string PreviousRecord(int32_t index, const std::string& path);

// Whether more than `changeTimeMinutes` have passed between two tick counts. The tick count wraps
// at 2^32 and the difference is read as signed 32 bits; the limit is formed in 64 bits so that
// large minute counts do not wrap to tiny limits.
bool ChangeTimePassed(uint32_t startTick, uint32_t nowTick, int32_t changeTimeMinutes);
