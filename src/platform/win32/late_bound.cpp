#include "platform/win32/late_bound.h"

#include <mmsystem.h>

#include "platform/win32/trace.h"

bool PlayWaveFile(const char* path, DWORD flags) {
    using Play = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
    const auto play = LateBound<Play>("winmm.dll", "PlaySoundA");
    return ORV_CHECK(play != nullptr) && play(path, nullptr, flags) != FALSE;
}
