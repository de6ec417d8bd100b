#include "app/command_line.h"

bool IsQuietStartArgument(const std::string& argument) {
    std::size_t start = 0;
    if (!argument.empty() && (argument[0] == '-' || argument[0] == '/')) start = 1;
    return argument.size() > start && argument[start] == 's';
}

namespace {

// "/name" or "-name" in any case.
bool IsSwitch(const std::string& argument, const char* name) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return false;
    std::size_t i = 1;
    for (; name[i - 1] != '\0'; ++i) {
        if (i >= argument.size()) return false;
        char c = argument[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != name[i - 1]) return false;
    }
    return i == argument.size();
}

}  // namespace

CommandLineRequest ParseCommandLine(const std::vector<std::string>& args) {
    using Action = CommandLineRequest::Action;
    CommandLineRequest request;
    std::vector<std::string> others;  // neither an exchange nor the quiet switch
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool isExport = IsSwitch(arg, "export");
        const bool isSync = IsSwitch(arg, "sync");
        if (isExport || isSync || IsSwitch(arg, "import")) {
            const char* name = isExport ? "/export" : "/import";
            // The first fault is the one reported.
            if (request.action != Action::Start) {
                if (request.error.empty()) request.error = "Give one of /export, /import or /sync, once.";
                continue;
            }
            if (isSync) {
                request.action = Action::Sync;
                continue;
            }
            // A switch where the file belongs means the file was left out.
            if (i + 1 >= args.size() || args[i + 1].empty() || args[i + 1][0] == '/') {
                if (request.error.empty()) request.error = std::string(name) + " needs the file's name after it.";
                continue;
            }
            request.action = isExport ? Action::Export : Action::Import;
            request.path = args[++i];
        } else if (IsQuietStartArgument(arg)) {
            request.quiet = true;
        } else {
            others.push_back(arg);
        }
    }
    // A plain start ignores what it does not know, as it always has.
    if (request.error.empty() && request.action != Action::Start && !others.empty())
        request.error = "Unexpected \"" + others.front() + "\": put a file name with blanks in double quotes.";
    if (!request.error.empty()) {
        request.action = Action::Invalid;
        request.path.clear();
    }
    return request;
}
