#pragma once
#include "platform/credential_store.h"

// Generic credentials of the Windows Credential Manager, kept on this
// machine: the user name as the credential's user, the password's bytes as
// its blob.
class Win32CredentialStore final : public CredentialStore {
public:
    bool Read(const std::string& target, std::string& user, std::string& password) const override;
    bool Write(const std::string& target, const std::string& user, const std::string& password) override;
    // True when nothing is stored under target afterwards, absent before too.
    bool Remove(const std::string& target) override;
};
