#pragma once
// The Sync page's rules apart from its window: what it shows of the stored
// settings and password, and what it says of an address it cannot store.
#include <string>
#include <string_view>

// The page's fields.
struct SyncPageValues {
    std::string url;
    std::string user;
    std::string password;
    int minutes = 0;
};

// The address without the blanks a paste brings along.
std::string TrimmedSyncUrl(std::string_view typed);

// Empty when the address can be stored (an empty one: no sync); else the
// sentence telling the user what is wrong with it.
std::string SyncUrlProblem(std::string_view url);
