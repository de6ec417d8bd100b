#pragma once
#include <map>
#include <string>
#include <utility>

#include "platform/credential_store.h"

// Credentials in memory, for tests; refuses every write and removal while
// `refuse` is set, as a locked-down credential manager would.
class MemoryCredentialStore final : public CredentialStore {
public:
    bool Read(const std::string& target, std::string& user, std::string& password) const override {
        const auto found = entries_.find(target);
        if (found == entries_.end()) return false;
        user = found->second.first;
        password = found->second.second;
        return true;
    }
    bool Write(const std::string& target, const std::string& user, const std::string& password) override {
        if (refuse) return false;
        entries_[target] = {user, password};
        return true;
    }
    bool Remove(const std::string& target) override {
        if (refuse) return false;
        entries_.erase(target);
        return true;
    }

    bool refuse = false;

private:
    std::map<std::string, std::pair<std::string, std::string>> entries_;
};
