#include <gtest/gtest.h>

#include <string>

#include "platform/win32/http_auth.h"

namespace {

using Scheme = HttpChallenge::Scheme;

TEST(HttpAuth, BestChallengeOfWhatTheServerOffers) {
    const struct {
        const char* headers;
        Scheme scheme;
        bool sha256;
        bool qopAuth;
        const char* nonce;
    } cases[] = {
        {"Basic realm=\"x\"", Scheme::Basic, false, false, ""},
        {"Basic realm=\"x\"\nDigest realm=\"r\", nonce=\"n1\", qop=\"auth\"", Scheme::Digest, false, true, "n1"},
        // Several in one header; SHA-256 before MD5 whatever the order.
        {"Digest realm=\"r\", nonce=\"m\", algorithm=MD5, qop=\"auth\", Digest realm=\"r\", nonce=\"s\", "
         "algorithm=SHA-256, qop=\"auth-int, auth\"",
         Scheme::Digest, true, true, "s"},
        {"digest NONCE=abc, Realm=\"a, \\\"b\\\"\"", Scheme::Digest, false, false, "abc"},  // no qop: the older form
        // Nothing this client can answer: kept out, Basic left.
        {"Digest nonce=\"x\", algorithm=MD5-sess, Basic realm=\"b\"", Scheme::Basic, false, false, ""},
        {"Digest nonce=\"x\", qop=\"auth-int\"", Scheme::None, false, false, ""},
        {"Digest realm=\"no nonce\"", Scheme::None, false, false, ""},
        {"Negotiate abc==, NTLM", Scheme::None, false, false, ""},
        {"", Scheme::None, false, false, ""},
        {"\"=,=\"\"", Scheme::None, false, false, ""},
    };
    for (const auto& c : cases) {
        const HttpChallenge best = BestChallenge(c.headers);
        EXPECT_EQ(best.scheme, c.scheme) << c.headers;
        EXPECT_EQ(best.sha256, c.sha256) << c.headers;
        EXPECT_EQ(best.qopAuth, c.qopAuth) << c.headers;
        EXPECT_EQ(best.nonce, c.nonce) << c.headers;
    }
    EXPECT_EQ(BestChallenge("digest NONCE=abc, Realm=\"a, \\\"b\\\"\"").realm, "a, \"b\"");
    EXPECT_TRUE(BestChallenge("Digest nonce=\"n\", stale=TRUE").stale);
}

TEST(HttpAuth, DigestResponsesOfTheRfcExample) {
    HttpChallenge challenge;
    challenge.scheme = Scheme::Digest;
    challenge.qopAuth = true;
    challenge.realm = "http-auth@example.org";
    challenge.nonce = "7ypf/xlj9XXwfDPEoM4URrv/xwf94BcCAzFZH4GiTo0v";
    challenge.opaque = "FQhe/qaU925kfnzjCev0ciny7QMkPqMAFRtzCUYo5tdS";
    const std::string cnonce = "f2/wE4q74E6zIJEtWaHKaf5wv/H5QzzpXusqGemxURZJ";
    const struct {
        bool sha256;
        const char* response;
    } cases[] = {
        {false, "8ca523f5e9506fed4657c9700eebdbec"},
        {true, "753927fa0e85d155564e2e272a28d1802ca10daf4496794697cf8db5856cb6c1"},
    };
    for (const auto& c : cases) {
        challenge.sha256 = c.sha256;
        const std::string value =
            DigestAuthorization(challenge, "Mufasa", "Circle of Life", "GET", "/dir/index.html", 1, cnonce);
        EXPECT_NE(value.find(std::string("response=\"") + c.response + "\""), std::string::npos) << value;
        EXPECT_NE(value.find("nc=00000001, cnonce=\"" + cnonce + "\""), std::string::npos) << value;
        EXPECT_NE(value.find("uri=\"/dir/index.html\""), std::string::npos) << value;
        EXPECT_NE(value.find("opaque=\"" + challenge.opaque + "\""), std::string::npos) << value;
        EXPECT_EQ(value.find("Circle"), std::string::npos) << value;
    }
    // The older form (no qop): H(HA1:nonce:HA2), no nc or cnonce; a quote in the user name escaped.
    challenge.qopAuth = false;
    challenge.sha256 = false;
    challenge.opaque.clear();
    const std::string old = DigestAuthorization(challenge, "a\"b", "pw", "GET", "/", 1, cnonce);
    EXPECT_NE(old.find("username=\"a\\\"b\""), std::string::npos) << old;
    EXPECT_NE(old.find("response=\"a5fe20d3927e5768af7025448e428f69\""), std::string::npos) << old;
    EXPECT_EQ(old.find("cnonce"), std::string::npos) << old;
    EXPECT_EQ(old.find("opaque"), std::string::npos) << old;
}

TEST(HttpAuth, BasicValue) {
    EXPECT_EQ(BasicAuthorization("Aladdin", "open sesame"), "Basic QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
    EXPECT_EQ(BasicAuthorization("a", "b:c"), "Basic YTpiOmM=");
}

}  // namespace
