// The 64-bit file-system redirection of a 32-bit process on 64-bit Windows. Discovery and launching
// switch it off so that they see System32 as it is, not as SysWOW64.
#pragma once

#include <optional>
#include <string>

// A 32-bit process on 64-bit Windows; computed once.
bool IsWow64();
// Switches the redirection off (true) or back on (false). Calls do not nest: a second switch-off
// does nothing and one switch-on undoes it. Does nothing outside WOW64 or without the functions.
void SetFsRedirection(bool disabled);
// The system's SysWOW64 folder whatever the process is; "" without the function, nothing when the
// call fails.
std::optional<std::string> SystemWow64Directory();
// Forgets the cached answers, for tests that replace the kernel32 entries.
void ResetWow64State();
