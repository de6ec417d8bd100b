#pragma once
#include <windows.h>

// Centres a dialog over anchor when that window shows (the calendar window,
// or the dialog that opened this one), else over the work area of the
// monitor its owner is on; either way it stays on that work area.
void CenterDialog(HWND dialog, HWND anchor);
