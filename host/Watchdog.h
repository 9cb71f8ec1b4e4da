// When a screensaver that ended counts as failed, and when the rotation has nothing left that
// runs. Pure: built and tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Whether the last user input (a tick count, as the system reports it) came at or after `sinceTick`.
// Tick counts wrap at 2^32; their difference is read as signed 32 bits.
bool InputSince(uint32_t sinceTick, uint32_t lastInputTick);

// The screensavers that failed (did not start, or ended with no user input) since the last one that
// ran until its time was up.
class FailureStreak {
public:
    void Failed(int32_t saver);
    void Ran() {
        failed_.clear();
        last_ = -1;
    }
    // True when there is nothing left to try: every ticked screensaver failed in this streak, or the
    // schedule offers again the very one that failed last (one kept for the day).
    bool GivesUp(const std::vector<bool>& checked, int32_t next) const;

private:
    std::vector<bool> failed_;
    int32_t last_ = -1;
};
