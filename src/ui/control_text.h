#pragma once
#include <windows.h>

#include <string>

// The whole text of a window or control; empty for a null handle.
std::string WindowText(HWND window);

// The text of a dialog's control.
std::string ControlText(HWND dialog, int controlId);
