#pragma once
#include <cstddef>
#include <string>

// Whole files read and written in one go.

enum class FileReadStatus { Ok, Unreadable, TooLarge };

// Reads the file into out. A file longer than maxBytes is not read at all:
// out then holds its first maxBytes + 1 bytes, so a reader with that limit
// refuses it in its own words.
FileReadStatus ReadWholeFile(const std::string& path, std::size_t maxBytes, std::string& out);

// Writes text as the file's whole content. It goes to a file beside it first
// and then takes the file's place, so a failed write leaves an existing file
// as it was.
bool WriteWholeFile(const std::string& path, const std::string& text);
