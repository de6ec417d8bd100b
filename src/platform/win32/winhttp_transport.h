#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/caldav_transport.h"
#include "platform/win32/dav_multistatus.h"
#include "platform/win32/dav_url.h"

// The collection over WinHTTP (the system's proxy and certificates), with
// HTTP Basic sent on every request. Redirects are not followed: an answer
// that moves the collection is Refused. A URL that is not http:// or
// https://, or that carries a user name, makes every request Refused.
class WinHttpTransport final : public CalDavTransport {
public:
    WinHttpTransport(const std::string& collectionUrl, const std::string& user, const std::string& password);
    ~WinHttpTransport() override;
    WinHttpTransport(const WinHttpTransport&) = delete;
    WinHttpTransport& operator=(const WinHttpTransport&) = delete;

    // False when the URL was refused or WinHTTP could not start.
    bool Usable() const { return connection_ != nullptr; }

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
    DavStatus Report(const wchar_t* method, const char* depth, const std::string& body, DavMultistatus& out,
                     Answer& answer);
    void KeepMembers(DavMultistatus& parsed, std::vector<DavResource>& out) const;

    HttpOrigin origin_;
    std::string path_;
    std::string authorization_;  // the header line; wiped when done
    DavLimits limits_;
    InternetHandle session_;
    InternetHandle connection_;
};

// An instant as CalDAV's UTC date-time, "20250309T140000Z".
std::string CalDavUtc(Instant instant);
