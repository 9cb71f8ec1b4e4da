// Link labels: blue static texts with the program's hand cursor (cursor resource 1) that open an
// address through the shell when clicked.
#pragma once

#include <windows.h>

// Opens `target`; the first twelve labels keep their target's number in GWLP_USERDATA, later ones
// carry 0 and open their caption. The width is the caption's measured width when it has one.
HWND CreateLinkLabel(HWND parent, int id, const char* caption, int x, int y, int width, int height, const char* target);
// A link label that opens its own caption.
HWND CreateUrlLabel(HWND parent, int id, const char* address, int x, int y, int width, int height);
