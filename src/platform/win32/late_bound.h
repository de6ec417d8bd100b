#pragma once
#include <windows.h>

#include "platform/win32/wide_text.h"

// An entry point of a system library loaded at its first use instead of at
// start-up, where under Wine each library costs working set that most runs
// never need. The library stays loaded: what it starts (a sound playing on,
// a file dialog's shell helpers) may outlive the call. Null when absent.
template <typename Function>
Function LateBound(const char* library, const char* entry) {
    const HMODULE module = LoadLibraryW(Wide(library).c_str());
    return module != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, entry)))
                             : nullptr;
}

// PlaySoundW from winmm; the path is UTF-8.
bool PlayWaveFile(const char* path, DWORD flags);
