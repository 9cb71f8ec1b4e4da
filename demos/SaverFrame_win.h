// The shared frame of the demo screensavers: command line, the full-screen, preview and settings
// modes, the frame timer and the back buffer. Each saver only supplies its drawing.
#pragma once

#include <windows.h>

class SaverArt {
public:
    virtual ~SaverArt() = default;
    // The drawing area is now width × height pixels (also called before the first frame).
    virtual void Resize(int width, int height) = 0;
    // Advances the animation by `seconds` and paints one whole frame into `hdc`, a memory DC of
    // the size last given to Resize.
    virtual void Draw(HDC hdc, double seconds) = 0;
};

// Runs the mode that the process command line asks for and returns the exit code. String 1 of
// the module is the saver's name, string 2 one sentence about it for the settings message.
int RunSaver(HINSTANCE instance, SaverArt& art);
