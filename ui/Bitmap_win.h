// An off-screen drawing surface: a 32-bit top-down DIB section selected into a memory DC of its
// own. Draw into DC() with GDI, copy it to a window with BitBlt.
#pragma once

#include <windows.h>

#include "app/Handles.h"

class TBitmap {
public:
    // All pixels zero (black), row 0 first at Bits(), rows Width * 4 bytes apart. Raises
    // "CreateDIBSection failed, Error = <code>" when the section cannot be made, after freeing
    // what it made.
    TBitmap(int width, int height);

    HBITMAP Bitmap() const { return bitmap_.get(); }
    HDC DC() const { return dc_.get(); }
    void* Bits() const { return bits_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    // Declared in this order so the DC goes first and the bitmap it holds after it.
    UniqueHBitmap bitmap_;
    UniqueHdc dc_;
    void* bits_ = nullptr;
    int width_;
    int height_;
};
