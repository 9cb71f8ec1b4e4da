// Generic system helpers every subsystem uses. Folder paths come back without a trailing
// backslash unless said otherwise; an empty string means "unknown".
#pragma once

#include <windows.h>

#include <string>

// MessageBoxA with no owner, the caption "Vantora" and an OK button.
void ShowMessage(const std::string& text);
// The system's text for an error code, without its line break; "error <code>" when it has none.
std::string SystemErrorText(DWORD code);
// Dispatches every message waiting in this thread's queue and returns once it is empty; never waits.
void PumpMessages();
std::string SpecialFolderPath(int csidl);
// ShellExecuteA "open" of `file`; the result is not checked.
void ShellOpen(HWND owner, const std::string& file, const char* parameters, const char* folder, int show);
// A value of the user's Explorer "Shell Folders" key, read-only; "" on any failure.
std::string ShellFolder(const std::string& name);
std::string AppDataFolder();
// The temporary folder with its trailing backslash, or "".
std::string TempFolder();
// Creates one missing folder level; failures are ignored.
void EnsureFolder(const std::string& path);
bool FolderExists(const std::string& path);
bool FileExists(const std::string& path);
std::string WindowTextOf(HWND window);
// The ANSI text in UTF-16, converted from the system code page; any length.
std::wstring ToWide(const std::string& text);
