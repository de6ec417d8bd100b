#include "dialogs/write_failure.h"
#include "platform/win32/wide_text.h"

void ShowWriteFailure(HWND owner, const char* text) { MessageBoxW(owner, Wide(text).c_str(), L"Notice", MB_OK | MB_ICONERROR); }
