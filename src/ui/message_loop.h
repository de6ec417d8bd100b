#pragma once
#include <windows.h>

// Offers the message to the pre-dispatch hooks of its window and that
// window's ancestors, innermost first; true when one of them swallowed it.
bool PreTranslate(MSG& msg);

#include <functional>

// The one message loop of the GUI thread; returns the WM_QUIT code.
int RunMessageLoop();

// The same loop, inside a handler, until done() holds; false when WM_QUIT
// came first (it is posted again, for the outer loop).
bool RunMessageLoopUntil(const std::function<bool()>& done);
