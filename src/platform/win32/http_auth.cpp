#include "platform/win32/http_auth.h"

#include <windows.h>

#include <bcrypt.h>

#include <cctype>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include "platform/win32/late_sync_calls.h"
#include "platform/win32/trace.h"

namespace {

struct CloseAlgorithm {
    void operator()(void* handle) const { late::BCryptCloseAlgorithmProvider(handle, 0); }
};
struct DestroyHash {
    void operator()(void* handle) const { late::BCryptDestroyHash(handle); }
};

// The lower-case hex digest of text; empty when BCrypt fails.
std::string HexHash(bool sha256, const std::string& text) {
    BCRYPT_ALG_HANDLE rawAlgorithm = nullptr;
    const wchar_t* algorithm = sha256 ? BCRYPT_SHA256_ALGORITHM : BCRYPT_MD5_ALGORITHM;
    if (!ORV_CHECK_STATUS(late::BCryptOpenAlgorithmProvider(&rawAlgorithm, algorithm, nullptr, 0))) return {};
    const std::unique_ptr<void, CloseAlgorithm> provider(rawAlgorithm);
    BCRYPT_HASH_HANDLE rawHash = nullptr;
    if (!ORV_CHECK_STATUS(late::BCryptCreateHash(rawAlgorithm, &rawHash, nullptr, 0, nullptr, 0, 0))) return {};
    const std::unique_ptr<void, DestroyHash> hash(rawHash);
    unsigned char digest[32];
    const ULONG size = sha256 ? 32 : 16;
    if (!ORV_CHECK_STATUS(late::BCryptHashData(rawHash, reinterpret_cast<PUCHAR>(const_cast<char*>(text.data())),
                                         static_cast<ULONG>(text.size()), 0)) ||
        !ORV_CHECK_STATUS(late::BCryptFinishHash(rawHash, digest, size, 0))) {
        return {};
    }
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (ULONG i = 0; i < size; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    SecureZeroMemory(digest, sizeof digest);
    return hex;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool TokenChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 ||
           std::string_view("!#$%&'*+-.^_`|~/").find(c) != std::string_view::npos;
}

struct RawChallenge {
    std::string scheme;  // lower case
    std::vector<std::pair<std::string, std::string>> params;  // names in lower case

    const std::string* Param(const char* name) const {
        for (const auto& param : params) {
            if (param.first == name) return &param.second;
        }
        return nullptr;
    }
};

// Challenges are "scheme" followed by name=value pairs, all separated by
// commas; a token not followed by "=" starts the next challenge.
std::vector<RawChallenge> SplitChallenges(std::string_view text) {
    std::vector<RawChallenge> list;
    std::size_t i = 0;
    const auto skip = [&](const char* what) {
        while (i < text.size() && std::string_view(what).find(text[i]) != std::string_view::npos) ++i;
    };
    while (i < text.size()) {
        skip(" \t\r\n,");
        const std::size_t start = i;
        while (i < text.size() && TokenChar(text[i])) ++i;
        if (i == start) {
            if (i < text.size()) ++i;  // a stray character: past it
            continue;
        }
        const std::string token = Lower(text.substr(start, i - start));
        skip(" \t");
        if (i >= text.size() || text[i] != '=') {
            list.push_back(RawChallenge{token, {}});
            continue;
        }
        ++i;
        skip(" \t");
        std::string value;
        if (i < text.size() && text[i] == '"') {
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) ++i;
                value += text[i];
            }
            ++i;
        } else {
            while (i < text.size() && (TokenChar(text[i]) || text[i] == '=')) value += text[i++];
        }
        if (!list.empty()) list.back().params.emplace_back(token, std::move(value));
    }
    return list;
}

bool ListHas(const std::string& list, const char* item) {
    std::size_t at = 0;
    while (at <= list.size()) {
        std::size_t end = list.find(',', at);
        if (end == std::string::npos) end = list.size();
        std::string part = Lower(list.substr(at, end - at));
        const std::size_t first = part.find_first_not_of(" \t");
        const std::size_t last = part.find_last_not_of(" \t");
        if (first != std::string::npos && part.substr(first, last - first + 1) == item) return true;
        at = end + 1;
    }
    return false;
}

// 0: cannot be answered; higher is better.
int Rank(const RawChallenge& raw, HttpChallenge& out) {
    out = HttpChallenge();
    if (raw.scheme == "basic") {
        out.scheme = HttpChallenge::Scheme::Basic;
        return 1;
    }
    if (raw.scheme != "digest") return 0;
    const std::string* nonce = raw.Param("nonce");
    if (nonce == nullptr || nonce->empty()) return 0;
    const std::string* algorithm = raw.Param("algorithm");
    const std::string name = algorithm == nullptr ? "md5" : Lower(*algorithm);
    if (name != "md5" && name != "sha-256") return 0;
    if (const std::string* qop = raw.Param("qop")) {
        if (!ListHas(*qop, "auth")) return 0;
        out.qopAuth = true;
    }
    out.scheme = HttpChallenge::Scheme::Digest;
    out.sha256 = name == "sha-256";
    out.nonce = *nonce;
    if (const std::string* realm = raw.Param("realm")) out.realm = *realm;
    if (const std::string* opaque = raw.Param("opaque")) out.opaque = *opaque;
    if (const std::string* stale = raw.Param("stale")) out.stale = Lower(*stale) == "true";
    return out.sha256 ? 3 : 2;
}

// A quoted-string's content: quotes and backslashes escaped, line ends dropped.
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\r' || c == '\n') continue;
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string Base64(const std::string& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = bytes.size() - i < 3 ? bytes.size() - i : 3;
        unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
        if (n > 1) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (n > 2) group |= static_cast<unsigned char>(bytes[i + 2]);
        text += kDigits[(group >> 18) & 63];
        text += kDigits[(group >> 12) & 63];
        text += n > 1 ? kDigits[(group >> 6) & 63] : '=';
        text += n > 2 ? kDigits[group & 63] : '=';
    }
    return text;
}

}  // namespace

void WipeSecret(std::string& secret) {
    if (!secret.empty()) SecureZeroMemory(&secret[0], secret.size());
    secret.clear();
}

HttpChallenge BestChallenge(std::string_view headers) {
    HttpChallenge best;
    int bestRank = 0;
    for (const RawChallenge& raw : SplitChallenges(headers)) {
        HttpChallenge candidate;
        const int rank = Rank(raw, candidate);
        if (rank > bestRank) {
            best = std::move(candidate);
            bestRank = rank;
        }
    }
    return best;
}

std::string BasicAuthorization(const std::string& user, const std::string& password) {
    std::string credentials = user;
    credentials += ':';
    credentials += password;
    std::string value = "Basic ";
    std::string encoded = Base64(credentials);
    value += encoded;
    WipeSecret(credentials);
    WipeSecret(encoded);
    return value;
}

std::string DigestAuthorization(const HttpChallenge& challenge, const std::string& user, const std::string& password,
                                std::string_view method, std::string_view uri, unsigned nc, const std::string& cnonce) {
    const bool algorithm = challenge.sha256;
    std::string secret = user;
    secret += ':';
    secret += challenge.realm;
    secret += ':';
    secret += password;
    std::string ha1 = HexHash(algorithm, secret);
    WipeSecret(secret);
    std::string target(method);
    target += ':';
    target += uri;
    const std::string ha2 = HexHash(algorithm, target);
    char count[16];
    std::snprintf(count, sizeof count, "%08x", nc);
    std::string response = ha1;
    response += ':';
    response += challenge.nonce;
    response += ':';
    if (challenge.qopAuth) {
        response += count;
        response += ':';
        response += cnonce;
        response += ":auth:";
    }
    response += ha2;
    const std::string digest = HexHash(algorithm, response);
    WipeSecret(ha1);
    WipeSecret(response);
    if (ha2.empty() || digest.size() != ha2.size()) return {};

    std::string value = "Digest username=";
    value += Quoted(user);
    value += ", realm=";
    value += Quoted(challenge.realm);
    value += ", nonce=";
    value += Quoted(challenge.nonce);
    value += ", uri=";
    value += Quoted(uri);
    value += challenge.sha256 ? ", algorithm=SHA-256" : ", algorithm=MD5";
    value += ", response=\"";
    value += digest;
    value += '"';
    if (!challenge.opaque.empty()) {
        value += ", opaque=";
        value += Quoted(challenge.opaque);
    }
    if (challenge.qopAuth) {
        value += ", qop=auth, nc=";
        value += count;
        value += ", cnonce=";
        value += Quoted(cnonce);
    }
    return value;
}
