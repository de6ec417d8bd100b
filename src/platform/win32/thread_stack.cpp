#include "platform/win32/thread_stack.h"

#include <windows.h>

#include <cstdint>

namespace {

// Left alone below the stack pointer: what the thread's calls still use.
constexpr std::uintptr_t kKeptBytes = 64 * 1024;

}  // namespace

void ReleaseUnusedStack() {
    const char here = 0;
    MEMORY_BASIC_INFORMATION region = {};
    // The stack's whole reservation starts where the one holding `here` does.
    if (VirtualQuery(&here, &region, sizeof region) == 0) return;
    const std::uintptr_t low = reinterpret_cast<std::uintptr_t>(region.AllocationBase);
    const std::uintptr_t sp = reinterpret_cast<std::uintptr_t>(&here);
    if (sp < low + kKeptBytes) return;
    const std::uintptr_t end = (sp - kKeptBytes) & ~static_cast<std::uintptr_t>(0xFFF);
    for (std::uintptr_t at = low; at < end; at = reinterpret_cast<std::uintptr_t>(region.BaseAddress) +
                                                 region.RegionSize) {
        if (VirtualQuery(reinterpret_cast<void*>(at), &region, sizeof region) == 0) return;
        const std::uintptr_t regionEnd = reinterpret_cast<std::uintptr_t>(region.BaseAddress) + region.RegionSize;
        const std::uintptr_t stop = regionEnd < end ? regionEnd : end;
        // Committed pages only, never the guard page that grows the stack.
        if (region.State == MEM_COMMIT && (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) == 0) {
            VirtualAlloc(reinterpret_cast<void*>(at), stop - at, MEM_RESET, PAGE_READWRITE);
        }
    }
}
