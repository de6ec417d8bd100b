#pragma once
#include <windows.h>

// IAccessible's interface id as documented. mingw-w64's static copy of
// IID_IAccessible links to other bytes, which makes every client's
// QueryInterface fail, so both the program and its probes use this one.
inline constexpr IID kAccessibleIid = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
