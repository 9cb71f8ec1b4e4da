#include "app/PointerWatch.h"

#include <cstdlib>

void PointerWatch::Rest(int x, int y) {
    seen_ = true;
    x_ = x;
    y_ = y;
}

bool PointerWatch::Moved(int x, int y) {
    if (!seen_) {
        Rest(x, y);
        return false;
    }
    return std::abs(x - x_) > kPointerSlop || std::abs(y - y_) > kPointerSlop;
}
