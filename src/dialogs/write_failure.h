#pragma once
#include <windows.h>

// What the user is told when the registry refuses a change: the event shows
// for this run only, and the next start would not have it (or have it back).
inline constexpr char kNotSavedText[] = "The event could not be saved.";
inline constexpr char kNotDeletedText[] = "The event could not be deleted. It will be back at the next start.";
inline constexpr char kExclusionNotSavedText[] =
    "The change to this date could not be saved. It holds only until the program ends.";

// A "Notice" box with the error icon, owned by owner.
void ShowWriteFailure(HWND owner, const char* text);
