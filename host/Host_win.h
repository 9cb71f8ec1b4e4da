// The rotation host: the run entry of the full-screen ("/s") and preview ("/p") modes. It opens
// no window of its own; the screensavers it starts do the drawing and read the input.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/Handles.h"

// Saver index of the screensaver chosen last; -1 for none.
extern int32_t CurrentSaver;

// Full-screen run when `parent` is null, preview inside `parent` otherwise. Ends the process with
// exit code 0, unless the settings window launched it, in which case it returns.
void RunSaverHost(HWND parent);

// "Prev" resolved against the catalogue; -1 when it names nothing catalogued.
int32_t LoadPreviousSaver();
// Picks the next ticked saver into CurrentSaver; false when nothing is ticked.
bool ChooseNextSaver();
// Writes "Prev" and, on a new day, "OrderDate".
void RecordCurrentSaver();

enum class ChildOutcome { Ended, TimeUp };
// Polls `child` until it ends by itself or its change time is up (then it has been stopped).
ChildOutcome SuperviseChildSaver(UniqueChildProcess& child, DWORD startTick);
// Ends the child: a close request and a grace period when it is in front, otherwise at once and
// then unticked for good. The child has ended even when saving the untick throws.
void StopChildSaver(UniqueChildProcess child);
