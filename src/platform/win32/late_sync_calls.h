#pragma once
#include <windows.h>

#include <bcrypt.h>
#include <winhttp.h>

#include "platform/win32/late_bound.h"

// WinHTTP and BCrypt through entries looked up at each call, so that they
// load with the first sync instead of at every start: under Wine the two
// cost about 3 MiB of working set that a calendar without sync never
// needs. A missing entry fails as the call itself would.
template <typename Function>
class LateCall;

template <typename Result, typename... Params>
class LateCall<Result (*)(Params...)> {
public:
    constexpr LateCall(const char* library, const char* entry, Result failed)
        : library_(library), entry_(entry), failed_(failed) {}
    Result operator()(Params... args) const {
        const auto entry = LateBound<Result (*)(Params...)>(library_, entry_);
        return entry != nullptr ? entry(args...) : failed_;
    }

private:
    const char* library_;
    const char* entry_;
    Result failed_;
};

#define ORV_LATE_ENTRY(library, name, failed) \
    constexpr LateCall<decltype(&::name)> name{library, #name, failed};

namespace late {

ORV_LATE_ENTRY("winhttp.dll", WinHttpOpen, nullptr)
ORV_LATE_ENTRY("winhttp.dll", WinHttpConnect, nullptr)
ORV_LATE_ENTRY("winhttp.dll", WinHttpOpenRequest, nullptr)
ORV_LATE_ENTRY("winhttp.dll", WinHttpSetOption, FALSE)
ORV_LATE_ENTRY("winhttp.dll", WinHttpSetTimeouts, FALSE)
ORV_LATE_ENTRY("winhttp.dll", WinHttpSendRequest, FALSE)
ORV_LATE_ENTRY("winhttp.dll", WinHttpReceiveResponse, FALSE)
ORV_LATE_ENTRY("winhttp.dll", WinHttpQueryHeaders, FALSE)
ORV_LATE_ENTRY("winhttp.dll", WinHttpReadData, FALSE)
ORV_LATE_ENTRY("winhttp.dll", WinHttpCloseHandle, FALSE)

// STATUS_NOT_FOUND
ORV_LATE_ENTRY("bcrypt.dll", BCryptOpenAlgorithmProvider, static_cast<NTSTATUS>(0xC0000225))
ORV_LATE_ENTRY("bcrypt.dll", BCryptCloseAlgorithmProvider, static_cast<NTSTATUS>(0xC0000225))
ORV_LATE_ENTRY("bcrypt.dll", BCryptCreateHash, static_cast<NTSTATUS>(0xC0000225))
ORV_LATE_ENTRY("bcrypt.dll", BCryptHashData, static_cast<NTSTATUS>(0xC0000225))
ORV_LATE_ENTRY("bcrypt.dll", BCryptFinishHash, static_cast<NTSTATUS>(0xC0000225))
ORV_LATE_ENTRY("bcrypt.dll", BCryptDestroyHash, static_cast<NTSTATUS>(0xC0000225))
ORV_LATE_ENTRY("bcrypt.dll", BCryptGenRandom, static_cast<NTSTATUS>(0xC0000225))

}  // namespace late

#undef ORV_LATE_ENTRY
