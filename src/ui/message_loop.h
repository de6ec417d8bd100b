#pragma once
#include <windows.h>

// Offers the message to the pre-dispatch hooks of its window and that
// window's ancestors, innermost first; true when one of them swallowed it.
bool PreTranslate(MSG& msg);

// The one message loop of the GUI thread; returns the WM_QUIT code.
int RunMessageLoop();
