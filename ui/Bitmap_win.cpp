#include "ui/Bitmap_win.h"

#include <string>

#include "app/Exception.h"

TBitmap::TBitmap(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_.reset(CreateCompatibleDC(nullptr));
    SetLastError(0);
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits_, nullptr, 0));
    if (!bitmap_) {
        const DWORD error = GetLastError();
        throw Exception("CreateDIBSection failed, Error = " + std::to_string(error));
    }
    SelectObject(dc_.get(), bitmap_.get());
}
