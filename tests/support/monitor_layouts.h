#pragma once
// Monitor layouts of real desks, the primary first as Windows lists them.
#include <vector>

#include "platform/desktop.h"
#include "platform/memory/fixed_desktop.h"

inline const Monitor kLaptop{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}};
inline const FixedDesktop kSingle(std::vector<Monitor>{{{0, 0, 1024, 768}, {0, 0, 1024, 738}}});
inline const FixedDesktop kSideBySide({kLaptop, {{1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}}});
inline const FixedDesktop kStacked({kLaptop, {{0, -1200, 1920, 0}, {0, -1200, 1920, -40}}});
// The other monitor left of the primary, higher and taller: negative x and y.
inline const FixedDesktop kPrimaryOnTheRight({kLaptop, {{-2560, -360, 0, 1080}, {-2560, -360, 0, 1040}}});
// A taskbar on the left of the second monitor.
inline const FixedDesktop kTaskbarLeft({kLaptop, {{1920, 0, 3840, 1080}, {1980, 0, 3840, 1080}}});
