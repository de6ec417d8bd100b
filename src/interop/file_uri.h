#pragma once
#include <string>
#include <string_view>

// Windows paths as file: URIs and back. Only absolute paths have one:
// "C:\a b.wav" is "file:///C:/a%20b.wav", "\\host\share\x" "file://host/share/x".
// Empty when there is none.
std::string PathToFileUri(std::string_view path);

// 0..15 for a hex digit of either case, -1 for any other character.
int HexDigitValue(char c);
std::string FileUriToPath(std::string_view uri);
