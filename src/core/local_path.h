#pragma once
#include <string_view>

// Paths that arrive from outside (a calendar file, another program) are
// judged on their text alone: asking the file system about a network or
// device path already reaches that host or device.

// A local absolute path to a file: a drive letter, no "..", no wildcard,
// no second colon (a stream), no device name, at most 259 bytes.
bool IsLocalFilePath(std::string_view path);

// The same, naming a WAV file.
bool IsLocalWavePath(std::string_view path);
