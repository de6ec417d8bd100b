#include "platform/win32/trace.h"
#include "platform/win32/wide_text.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

void TraceFailure(const char* what, const char* file, int line, unsigned long error) {
    // The trace itself must not disturb the error a caller may still read.
    const DWORD saved = GetLastError();
    const char* name = file;
    for (const char* p = file; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') name = p + 1;
    }
    char text[512];
    if (line > 0) {
        std::snprintf(text, sizeof text, "OrvCalendar: %s failed at %s:%d, error %lu\r\n", what, name, line, error);
    } else {
        std::snprintf(text, sizeof text, "OrvCalendar: %s\r\n", what);
    }
    OutputDebugStringW(Wide(text).c_str());

    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"ORVCALENDAR_LOG", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        HANDLE log = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(log, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
            CloseHandle(log);
        }
    }
    SetLastError(saved);
}

void TraceCurrentException(const char* where) {
    std::string what = std::string("exception in ") + where;
    try {
        throw;
    } catch (const std::exception& e) {
        what += std::string(": ") + e.what();
    } catch (...) {
    }
    TraceFailure(what.c_str(), "", 0, 0);  // no line: the text says it all
}
