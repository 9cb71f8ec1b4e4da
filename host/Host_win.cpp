#include "host/Host_win.h"

void RunSaverHost(HWND) {}
