#include "dialogs/sync_page_model.h"

#include "platform/http_url.h"
#include "sync/sync_settings.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string TrimmedSyncUrl(std::string_view typed) {
    while (!typed.empty() && IsBlank(typed.front())) typed.remove_prefix(1);
    while (!typed.empty() && IsBlank(typed.back())) typed.remove_suffix(1);
    return std::string(typed);
}

std::string SyncUrlProblem(std::string_view url) {
    if (url.empty()) return {};
    const HttpUrlFault fault = CheckHttpUrl(url);
    if (fault == HttpUrlFault::Scheme) return "The server address must begin with https:// or http://.";
    if (url.size() > kMaxSyncUrlLength) return "The server address is too long.";
    switch (fault) {
        case HttpUrlFault::None:
            return {};
        case HttpUrlFault::Scheme:
        case HttpUrlFault::Blank:
            return "The server address cannot contain spaces.";
        case HttpUrlFault::NoHost:
            return "The server address needs the server's name after the \"//\".";
        case HttpUrlFault::UserInfo:
            return "The server address cannot hold a user name (\"name@\"): enter it under User name.";
        case HttpUrlFault::Port:
            return "The port after the server's name must be a number from 1 to 65535.";
        case HttpUrlFault::HostLetters:
            return "The server's name must be written in ASCII (an international name in its xn-- form).";
        case HttpUrlFault::Path:
            return "The server address cannot hold \"?\", \"#\" or \"\\\", and characters other than ASCII in its "
                   "path must be percent-encoded.";
    }
    return {};
}
