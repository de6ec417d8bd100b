#pragma once
#include <string>
#include <string_view>

// HTTP authentication of a user with a password: the scheme a server's
// challenge offers and the Authorization header's value that answers it.
// Basic and Digest (MD5 or SHA-256, qop "auth" or none); Digest's hashes
// come from BCrypt. Not WinHTTP's own: Wine's names Digest in the schemes
// and then never gets past the 401.

struct HttpChallenge {
    enum class Scheme { None, Basic, Digest } scheme = Scheme::None;
    bool sha256 = false;  // Digest's algorithm: SHA-256, or MD5
    bool qopAuth = false; // qop="auth" offered; otherwise the response is the older form
    bool stale = false;   // the nonce ran out: the same password again with the new one
    std::string realm;
    std::string nonce;
    std::string opaque;
};

// Picks the best of a server's WWW-Authenticate values (one header's text,
// challenges separated by commas, or several joined by "\n"): Digest with
// SHA-256, then with MD5, then Basic. Scheme::None when none of them can be
// answered (another scheme, "-sess", qop without "auth").
HttpChallenge BestChallenge(std::string_view headers);

// "Basic dXNlcjpwdw==": the value, without "Authorization: ".
std::string BasicAuthorization(const std::string& user, const std::string& password);

// The Digest value for a request of method on uri (the request line's
// target). nc counts the requests made with this nonce, from 1.
// Empty when BCrypt cannot hash.
std::string DigestAuthorization(const HttpChallenge& challenge, const std::string& user, const std::string& password,
                                std::string_view method, std::string_view uri, unsigned nc, const std::string& cnonce);

// Wipes a string that held a secret.
void WipeSecret(std::string& secret);
