#pragma once
#include <string>
#include <vector>

// The quiet-start switch: after one leading "-" or "/", the text begins with
// a lowercase "s" (so /s, -startup and silent qualify; /S does not).
bool IsQuietStartArgument(const std::string& argument);

// What the command line asks for: a start, an iCalendar export or import
// ("/export FILE", "/import FILE") or one sync with the server ("/sync");
// "-" for "/", any case.
struct CommandLineRequest {
    enum class Action { Start, Export, Import, Sync, Invalid };
    Action action = Action::Start;
    std::string path;    // FILE of an export or import
    bool quiet = false;  // the quiet switch was given
    std::string error;   // why the arguments are Invalid, for the user
};

// With an export, import or sync nothing else may stand but the quiet switch: a
// path with blanks and no quotes must not be half taken.
CommandLineRequest ParseCommandLine(const std::vector<std::string>& args);
