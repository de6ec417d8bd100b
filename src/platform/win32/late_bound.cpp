#include "platform/win32/late_bound.h"

#include <mmsystem.h>

#include "platform/win32/trace.h"
#include "platform/win32/wide_text.h"

bool PlayWaveFile(const char* path, DWORD flags) {
    using Play = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
    const auto play = LateBound<Play>("winmm.dll", "PlaySoundW");
    return ORV_CHECK(play != nullptr) && play(Wide(path).c_str(), nullptr, flags) != FALSE;
}
