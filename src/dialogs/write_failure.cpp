#include "dialogs/write_failure.h"

void ShowWriteFailure(HWND owner, const char* text) { MessageBoxA(owner, text, "Notice", MB_OK | MB_ICONERROR); }
