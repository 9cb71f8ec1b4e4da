#include "host/Watchdog.h"

bool InputSince(uint32_t sinceTick, uint32_t lastInputTick) {
    return static_cast<int32_t>(lastInputTick - sinceTick) >= 0;
}

void FailureStreak::Failed(int32_t saver) {
    if (saver < 0) return;
    const size_t index = static_cast<size_t>(saver);
    if (failed_.size() <= index) failed_.resize(index + 1, false);
    failed_[index] = true;
    last_ = saver;
}

bool FailureStreak::GivesUp(const std::vector<bool>& checked, int32_t next) const {
    if (failed_.empty()) return false;
    if (next == last_) return true;
    for (size_t i = 0; i < checked.size(); ++i) {
        if (checked[i] && (i >= failed_.size() || !failed_[i])) return false;
    }
    return true;
}
