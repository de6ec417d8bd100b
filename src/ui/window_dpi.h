#pragma once
#include <windows.h>

// The DPI a window draws at: its monitor's where Windows scales per monitor,
// else the system's.
int WindowDpi(HWND hwnd);
// The DPI the system's metrics and fonts are given for.
int SystemDpi();
