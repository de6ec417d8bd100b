#include "platform/win32/win32_credential_store.h"

#include <windows.h>

#include <wincred.h>

#include "platform/win32/trace.h"

namespace {

// A credential as CredReadA hands it out, freed once.
class OwnedCredential {
public:
    OwnedCredential() = default;
    ~OwnedCredential() {
        if (credential_ != nullptr) CredFree(credential_);
    }
    OwnedCredential(const OwnedCredential&) = delete;
    OwnedCredential& operator=(const OwnedCredential&) = delete;

    PCREDENTIALA* Out() { return &credential_; }
    const CREDENTIALA* operator->() const { return credential_; }

private:
    PCREDENTIALA credential_ = nullptr;
};

// False when the credential is absent, which is no failure worth a trace.
bool TraceUnlessAbsent(const char* call, int line) {
    const DWORD error = GetLastError();
    if (error == ERROR_NOT_FOUND) return false;
    TraceFailure(call, __FILE__, line, error);
    return true;
}

}  // namespace

bool Win32CredentialStore::Read(const std::string& target, std::string& user, std::string& password) const {
    OwnedCredential credential;
    if (CredReadA(target.c_str(), CRED_TYPE_GENERIC, 0, credential.Out()) == FALSE) {
        TraceUnlessAbsent("CredReadA", __LINE__);
        return false;
    }
    // Another program may have written this target: take nothing for granted.
    if (credential->CredentialBlobSize > CRED_MAX_CREDENTIAL_BLOB_SIZE ||
        (credential->CredentialBlobSize > 0 && credential->CredentialBlob == nullptr)) {
        return false;
    }
    user = credential->UserName != nullptr ? credential->UserName : "";
    password.assign(reinterpret_cast<const char*>(credential->CredentialBlob), credential->CredentialBlobSize);
    return true;
}

bool Win32CredentialStore::Write(const std::string& target, const std::string& user, const std::string& password) {
    if (password.size() > CRED_MAX_CREDENTIAL_BLOB_SIZE) return false;
    CREDENTIALA credential = {};
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = const_cast<char*>(target.c_str());
    credential.UserName = const_cast<char*>(user.c_str());
    credential.CredentialBlobSize = static_cast<DWORD>(password.size());
    credential.CredentialBlob = reinterpret_cast<BYTE*>(const_cast<char*>(password.data()));
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    return ORV_CHECK(CredWriteA(&credential, 0));
}

bool Win32CredentialStore::Remove(const std::string& target) {
    if (CredDeleteA(target.c_str(), CRED_TYPE_GENERIC, 0) != FALSE) return true;
    return !TraceUnlessAbsent("CredDeleteA", __LINE__);
}
