#include "platform/win32/win32_credential_store.h"

#include <windows.h>

#include <wincred.h>

#include "platform/win32/trace.h"
#include "platform/win32/wide_text.h"

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

    PCREDENTIALW* Out() { return &credential_; }
    const CREDENTIALW* operator->() const { return credential_; }

private:
    PCREDENTIALW credential_ = nullptr;
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
    if (CredReadW(Wide(target).c_str(), CRED_TYPE_GENERIC, 0, credential.Out()) == FALSE) {
        TraceUnlessAbsent("CredReadW", __LINE__);
        return false;
    }
    // Another program may have written this target: take nothing for granted.
    if (credential->CredentialBlobSize > CRED_MAX_CREDENTIAL_BLOB_SIZE ||
        (credential->CredentialBlobSize > 0 && credential->CredentialBlob == nullptr)) {
        return false;
    }
    user = Utf8(credential->UserName);
    password.assign(reinterpret_cast<const char*>(credential->CredentialBlob), credential->CredentialBlobSize);
    return true;
}

bool Win32CredentialStore::Write(const std::string& target, const std::string& user, const std::string& password) {
    if (password.size() > CRED_MAX_CREDENTIAL_BLOB_SIZE) return false;
    CREDENTIALW credential = {};
    credential.Type = CRED_TYPE_GENERIC;
    std::wstring targetName = Wide(target);
    std::wstring userName = Wide(user);
    credential.TargetName = targetName.data();
    credential.UserName = userName.data();
    credential.CredentialBlobSize = static_cast<DWORD>(password.size());
    credential.CredentialBlob = reinterpret_cast<BYTE*>(const_cast<char*>(password.data()));
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    return ORV_CHECK(CredWriteW(&credential, 0));
}

bool Win32CredentialStore::Remove(const std::string& target) {
    if (CredDeleteW(Wide(target).c_str(), CRED_TYPE_GENERIC, 0) != FALSE) return true;
    return !TraceUnlessAbsent("CredDeleteW", __LINE__);
}
