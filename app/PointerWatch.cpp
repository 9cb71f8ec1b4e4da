#include "app/PointerWatch.h"

#include <cstdlib>

bool PointerWatch::Moved(int x, int y) {
    if (!seen_) {
        seen_ = true;
        x_ = x;
        y_ = y;
        return false;
    }
    return std::abs(x - x_) > kPointerSlop || std::abs(y - y_) > kPointerSlop;
}
