#pragma once
#include <windows.h>

// The probe as a screen reader: reads a window's accessible tree from this
// process, and hears the focus event a posted message makes it raise.
int PrintAccessibleTree(HWND hwnd);
int HearFocus(HWND hwnd, double seconds, UINT msg, WPARAM wParam, LPARAM lParam);
