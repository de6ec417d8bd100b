#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/caldav_transport.h"
#include "platform/win32/dav_multistatus.h"
#include "platform/win32/dav_url.h"
#include "platform/win32/http_auth.h"

// How long each step of a request may take, in milliseconds.
struct HttpTimeouts {
    int resolveMs = 15000;
    int connectMs = 15000;
    int sendMs = 30000;
    int receiveMs = 60000;  // for the answer's first byte, and between any two reads
};

// The collection over WinHTTP (the system's proxy and certificates, TLS 1.2
// or later). Credentials go only to the origin of the URL given: Basic
// before asked over https; otherwise the scheme the server's 401 asks for,
// Digest before Basic, or Basic to a loopback address when a 401 names none
// or the server resets a request sent without them. Redirects are followed a few hops, never from https
// to http. When the URL is not a calendar collection, the first Probe looks
// for the user's calendar from it (.well-known/caldav, the principal, its
// calendar home). A URL that is not http:// or https://, or that carries a
// user name, makes every request Refused.
class WinHttpTransport final : public CalDavTransport {
public:
    WinHttpTransport(const std::string& collectionUrl, const std::string& user, const std::string& password);
    ~WinHttpTransport() override;
    WinHttpTransport(const WinHttpTransport&) = delete;
    WinHttpTransport& operator=(const WinHttpTransport&) = delete;

    // False when the URL was refused or WinHTTP could not start.
    bool Usable() const { return connection_ != nullptr; }
    // For the requests from now on.
    void SetTimeouts(const HttpTimeouts& timeouts);
    // Of the last request; None unless it ended Unreachable.
    DavProblem LastProblem() const override { return problem_; }
    DavAnswer LastAnswer() const override { return answer_; }

    std::string CollectionPath() const override { return path_; }
    DavStatus Probe(bool& syncCollection, std::string& syncToken) override;
    DavStatus QueryRange(Instant from, Instant to, DavListing& out) override;
    DavStatus SyncCollection(const std::string& token, DavListing& out) override;
    DavStatus Fetch(const std::vector<std::string>& hrefs, std::vector<DavResource>& out) override;
    DavStatus Put(const std::string& href, const std::string& text, const std::string& ifMatch,
                  std::string& newEtag) override;
    DavStatus Delete(const std::string& href, const std::string& ifMatch) override;

private:
    struct CloseInternet {
        void operator()(void* handle) const;
    };
    using InternetHandle = std::unique_ptr<void, CloseInternet>;
    struct Answer;

    DavStatus Exchange(const wchar_t* method, const std::string& path, const std::string& headers,
                       const std::string& body, Answer& answer);
    DavStatus SendOnce(const wchar_t* method, const HttpOrigin& origin, const std::string& path,
                       const std::string& headers, const std::string& body, Answer& answer);
    std::string AuthorizationLine(const wchar_t* method, const std::string& path);
    DavStatus Report(const wchar_t* method, const char* depth, const std::string& body, DavMultistatus& out,
                     Answer& answer);
    DavStatus Properties(const std::string& path, const char* depth, const char* props, DavMultistatus& out,
                         std::string& finalPath);
    DavStatus Discover();
    bool MoveTo(const HttpOrigin& origin, const std::string& path);
    void KeepMembers(DavMultistatus& parsed, std::vector<DavResource>& out) const;

    HttpOrigin home_;    // the URL's origin: the only one credentials go to
    HttpOrigin origin_;  // the collection's
    std::string path_;
    std::string given_;  // the URL's path, where finding the calendar starts
    bool discovered_ = false;
    std::string user_;
    std::string password_;  // wiped when done
    HttpChallenge challenge_;
    unsigned nonceCount_ = 0;
    DavLimits limits_;
    HttpTimeouts timeouts_;
    DavProblem problem_ = DavProblem::None;
    DavAnswer answer_;
    InternetHandle session_;
    InternetHandle connection_;
};

// An instant as CalDAV's UTC date-time, "20250309T140000Z".
std::string CalDavUtc(Instant instant);
