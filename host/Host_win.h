// The rotation host: full-screen run (parent 0) or preview inside `parent`.
#pragma once

#include <windows.h>

void RunSaverHost(HWND parent);
