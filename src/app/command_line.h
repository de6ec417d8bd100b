#pragma once
#include <string>
#include <vector>

// The arguments after the program name, split as the C runtime splits them
// (blanks separate, double quotes group, backslashes before quotes escape).
std::vector<std::string> SplitCommandLine(const char* commandLine);

// The quiet-start switch: after one leading "-" or "/", the text begins with
// a lowercase "s" (so /s, -startup and silent qualify; /S does not).
bool IsQuietStartArgument(const std::string& argument);
