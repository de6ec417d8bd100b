#pragma once
#include <windows.h>

// A diagnostic trace of Win32 calls that failed where the user is told
// nothing: the call, the file and line, and the error. It goes to the
// debugger (OutputDebugStringA; WINEDEBUG=+debugstr shows it under Wine) and,
// when the environment variable ORVCALENDAR_LOG names a file, to the end of
// that file. Never changes what the program does.

// Records one failure; error is GetLastError(), a registry status or a GDI+ status.
void TraceFailure(const char* what, const char* file, int line, unsigned long error);

// Inside a catch block: records the exception being handled, where.
void TraceCurrentException(const char* where);

namespace trace_detail {
inline bool CheckLastError(bool ok, const char* what, const char* file, int line) {
    if (!ok) TraceFailure(what, file, line, GetLastError());
    return ok;
}
inline bool CheckStatus(long status, const char* what, const char* file, int line) {
    if (status != 0) TraceFailure(what, file, line, static_cast<unsigned long>(status));
    return status == 0;
}
}  // namespace trace_detail

// True when the call succeeded; a failure is traced with GetLastError().
#define ORV_CHECK(call) trace_detail::CheckLastError(static_cast<bool>(call), #call, __FILE__, __LINE__)
// For calls that return their error (registry, GDI+): true when it is 0.
#define ORV_CHECK_STATUS(call) trace_detail::CheckStatus(static_cast<long>(call), #call, __FILE__, __LINE__)
// Something that failed without a call to name (a swallowed exception).
#define ORV_TRACE(what) TraceFailure((what), __FILE__, __LINE__, 0)
