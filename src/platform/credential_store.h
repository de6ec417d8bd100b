#pragma once
#include <string>

// Where the sync password is kept: never in the registry or a log.
class CredentialStore {
public:
    virtual ~CredentialStore() = default;
    // False when none is stored.
    virtual bool Read(const std::string& target, std::string& user, std::string& password) const = 0;
    virtual bool Write(const std::string& target, const std::string& user, const std::string& password) = 0;
    virtual bool Remove(const std::string& target) = 0;
};

// The one target the program keeps its sync password under.
constexpr char kSyncCredentialTarget[] = "OrvCalendar/sync";
