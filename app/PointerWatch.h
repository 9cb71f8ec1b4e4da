// Whether a full-screen window's mouse messages show that the user is back. No Windows headers:
// built natively too.
#pragma once

// A mouse resting on a desk still reports moves of a pixel or two.
constexpr int kPointerSlop = 4;

// The first move arrives when the window appears under a still pointer and only marks where the
// pointer rests; a later move further than the slop from there, on either axis, is the user's.
class PointerWatch {
public:
    // True when this move is the user's.
    bool Moved(int x, int y);
    // The pointer rests at (x, y): only moves beyond the slop from there count.
    void Rest(int x, int y);

private:
    bool seen_ = false;
    int x_ = 0;
    int y_ = 0;
};
