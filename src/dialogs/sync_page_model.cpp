#include "dialogs/sync_page_model.h"

#include <algorithm>
#include <cctype>

#include "sync/sync_settings.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

}  // namespace

std::string TrimmedSyncUrl(std::string_view typed) {
    while (!typed.empty() && IsBlank(typed.front())) typed.remove_prefix(1);
    while (!typed.empty() && IsBlank(typed.back())) typed.remove_suffix(1);
    return std::string(typed);
}

std::string SyncUrlProblem(std::string_view url) {
    if (url.empty() || IsSyncUrl(url)) return {};
    if (!StartsWithNoCase(url, "https://") && !StartsWithNoCase(url, "http://")) {
        return "The server address must begin with https:// or http://.";
    }
    if (url.size() > kMaxSyncUrlLength) return "The server address is too long.";
    const bool unprintable = std::any_of(url.begin(), url.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u <= 0x20 || u == 0x7F;
    });
    if (unprintable) return "The server address cannot contain spaces.";
    return "The server address needs the server's name after the \"//\".";
}
