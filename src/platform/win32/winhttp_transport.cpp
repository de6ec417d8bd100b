#include "platform/win32/winhttp_transport.h"

#include <windows.h>

#include <winhttp.h>

#include <cstdio>

#include "core/calendar.h"
#include "platform/win32/trace.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr char kXmlType[] = "Content-Type: application/xml; charset=utf-8\r\n";
constexpr char kXmlHead[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
// A multiget names this many hrefs, so that an answer stays well below the size limit.
constexpr std::size_t kFetchBatch = 50;
constexpr int kResolveMs = 15000;
constexpr int kConnectMs = 15000;
constexpr int kSendMs = 30000;
constexpr int kReceiveMs = 60000;

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

void Wipe(std::string& secret) {
    if (!secret.empty()) SecureZeroMemory(&secret[0], secret.size());
    secret.clear();
}

void Wipe(std::wstring& secret) {
    if (!secret.empty()) SecureZeroMemory(&secret[0], secret.size() * sizeof(wchar_t));
    secret.clear();
}

std::string XmlEscaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

// An ETag from a server goes back into a header line: printable ASCII only.
bool UsableEtag(const std::string& etag, std::size_t limit) {
    if (etag.empty() || etag.size() > limit) return false;
    for (const char c : etag) {
        if (c < 0x21 || c > 0x7E) return false;
    }
    return true;
}

DavStatus StatusOf(DWORD code) {
    if (code >= 200 && code < 300) return DavStatus::Ok;
    switch (code) {
    case 401:
    case 403: return DavStatus::Unauthorized;
    case 412: return DavStatus::PreconditionFailed;
    case 404:
    case 410: return DavStatus::NotFound;
    default: return DavStatus::Refused;
    }
}

bool SamePath(const std::string& a, const std::string& b) {
    auto bare = [](const std::string& path) {
        return !path.empty() && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
    };
    return bare(a) == bare(b);
}

}  // namespace

struct WinHttpTransport::Answer {
    DWORD status = 0;
    std::string body;
    std::string etag;
};

void WinHttpTransport::CloseInternet::operator()(void* handle) const { WinHttpCloseHandle(handle); }

std::string CalDavUtc(Instant instant) {
    Instant days = instant / kSecondsPerDay;
    Instant seconds = instant % kSecondsPerDay;
    if (seconds < 0) {
        seconds += kSecondsPerDay;
        --days;
    }
    int year = 0;
    int month = 0;
    int day = 0;
    CivilFromDays(days, year, month, day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02dZ", year, month, day,
                  static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

WinHttpTransport::WinHttpTransport(const std::string& collectionUrl, const std::string& user,
                                   const std::string& password) {
    if (!SplitHttpUrl(collectionUrl, origin_, path_)) return;
    if (path_.back() != '/') path_ += '/';
    std::string credentials = user + ":" + password;
    std::string encoded = Base64(credentials);
    authorization_ = "Authorization: Basic ";
    authorization_ += encoded;
    authorization_ += "\r\n";
    Wipe(credentials);
    Wipe(encoded);

    session_.reset(WinHttpOpen(L"OrvCalendar", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0));
    if (!ORV_CHECK(session_ != nullptr)) return;
    ORV_CHECK(WinHttpSetTimeouts(session_.get(), kResolveMs, kConnectMs, kSendMs, kReceiveMs));
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (!WinHttpSetOption(session_.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) {
        // Systems that do not know TLS 1.3 refuse the whole set.
        protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
        ORV_CHECK(WinHttpSetOption(session_.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols));
    }
    std::string host = origin_.host;
    if (host.size() > 2 && host.front() == '[') host = host.substr(1, host.size() - 2);
    connection_.reset(WinHttpConnect(session_.get(), WidenText(host, CP_UTF8).c_str(),
                                     static_cast<INTERNET_PORT>(origin_.port), 0));
    ORV_CHECK(connection_ != nullptr);
}

WinHttpTransport::~WinHttpTransport() { Wipe(authorization_); }

DavStatus WinHttpTransport::Exchange(const wchar_t* method, const std::string& path, const std::string& headers,
                                     const std::string& body, Answer& answer) {
    answer = Answer();
    if (!Usable() || ServerPath(path, origin_) != path || body.size() > limits_.maxBytes) return DavStatus::Refused;
    const std::wstring widePath = WidenText(path, CP_UTF8);
    if (widePath.empty()) return DavStatus::Refused;
    const InternetHandle request(WinHttpOpenRequest(connection_.get(), method, widePath.c_str(),
                                                    nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                    origin_.https ? WINHTTP_FLAG_SECURE : 0));
    if (!ORV_CHECK(request != nullptr)) return DavStatus::Refused;
    DWORD features = WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_COOKIES;
    if (!ORV_CHECK(WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &features, sizeof features))) {
        return DavStatus::Refused;
    }
    std::string text = authorization_;
    text += headers;
    std::wstring lines = WidenText(text, CP_UTF8);
    Wipe(text);
    const BOOL sent = WinHttpSendRequest(request.get(), lines.c_str(), static_cast<DWORD>(lines.size()),
                                         const_cast<char*>(body.data()), static_cast<DWORD>(body.size()),
                                         static_cast<DWORD>(body.size()), 0);
    Wipe(lines);
    // Not traced with its text: the header lines hold the password.
    if (!ORV_CHECK(sent) || !ORV_CHECK(WinHttpReceiveResponse(request.get(), nullptr))) {
        // A server that refuses a request (the credentials, a moved
        // collection) may close the connection before it reads the body,
        // which then reads as a reset: asked again without one, it says why.
        Answer retry;
        if (!body.empty() && Exchange(L"OPTIONS", path_, std::string(), std::string(), retry) == DavStatus::Ok &&
            StatusOf(retry.status) != DavStatus::Ok) {
            answer.status = retry.status;
            return DavStatus::Ok;
        }
        return DavStatus::Unreachable;
    }

    DWORD size = sizeof answer.status;
    if (!ORV_CHECK(WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                       WINHTTP_HEADER_NAME_BY_INDEX, &answer.status, &size,
                                       WINHTTP_NO_HEADER_INDEX))) {
        return DavStatus::Unreachable;
    }
    wchar_t etag[512];
    DWORD etagSize = sizeof etag;
    if (WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_ETAG, WINHTTP_HEADER_NAME_BY_INDEX, etag, &etagSize,
                            WINHTTP_NO_HEADER_INDEX)) {
        for (DWORD i = 0; i < etagSize / sizeof(wchar_t); ++i) {
            answer.etag += etag[i] < 0x80 ? static_cast<char>(etag[i]) : '\x01';  // refused below
        }
        if (!UsableEtag(answer.etag, limits_.maxEtag)) answer.etag.clear();
    }
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ORV_CHECK(WinHttpReadData(request.get(), buffer, sizeof buffer, &read))) return DavStatus::Unreachable;
        if (read == 0) break;
        if (answer.body.size() + read > limits_.maxBytes) return DavStatus::Refused;
        answer.body.append(buffer, read);
    }
    return DavStatus::Ok;
}

DavStatus WinHttpTransport::Report(const wchar_t* method, const char* depth, const std::string& body,
                                   DavMultistatus& out, Answer& answer) {
    const std::string headers = std::string(kXmlType) + "Depth: " + depth + "\r\n";
    const DavStatus sent = Exchange(method, path_, headers, kXmlHead + body, answer);
    if (sent != DavStatus::Ok) return sent;
    if (answer.status != 207) return answer.status < 300 ? DavStatus::Refused : StatusOf(answer.status);
    return ParseMultistatus(answer.body, origin_, out, limits_) == DavParse::Ok ? DavStatus::Ok : DavStatus::Refused;
}

void WinHttpTransport::KeepMembers(DavMultistatus& parsed, std::vector<DavResource>& out) const {
    for (DavResource& resource : parsed.resources) {
        if (!SamePath(resource.href, path_)) out.push_back(std::move(resource));
    }
}

DavStatus WinHttpTransport::Probe(bool& syncCollection, std::string& syncToken) {
    syncCollection = false;
    syncToken.clear();
    DavMultistatus parsed;
    Answer answer;
    const DavStatus status = Report(L"PROPFIND", "0",
                                    "<D:propfind xmlns:D=\"DAV:\"><D:prop><D:sync-token/><D:supported-report-set/>"
                                    "</D:prop></D:propfind>",
                                    parsed, answer);
    if (status != DavStatus::Ok) return status;
    syncCollection = parsed.syncCollectionReport;
    syncToken = parsed.syncToken;
    return DavStatus::Ok;
}

DavStatus WinHttpTransport::QueryRange(Instant from, Instant to, DavListing& out) {
    out = DavListing();
    const std::string body =
        "<C:calendar-query xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\">"
        "<D:prop><D:getetag/></D:prop>"
        "<C:filter><C:comp-filter name=\"VCALENDAR\"><C:comp-filter name=\"VEVENT\">"
        "<C:time-range start=\"" + CalDavUtc(from) + "\" end=\"" + CalDavUtc(to) + "\"/>"
        "</C:comp-filter></C:comp-filter></C:filter></C:calendar-query>";
    DavMultistatus parsed;
    Answer answer;
    const DavStatus status = Report(L"REPORT", "1", body, parsed, answer);
    if (status != DavStatus::Ok) return status;
    KeepMembers(parsed, out.resources);
    out.truncated = parsed.truncated;
    return DavStatus::Ok;
}

DavStatus WinHttpTransport::SyncCollection(const std::string& token, DavListing& out) {
    out = DavListing();
    const std::string body = "<D:sync-collection xmlns:D=\"DAV:\"><D:sync-token>" + XmlEscaped(token) +
                             "</D:sync-token><D:sync-level>1</D:sync-level><D:prop><D:getetag/></D:prop>"
                             "</D:sync-collection>";
    DavMultistatus parsed;
    Answer answer;
    // Depth 0: the scope is the sync-level's.
    const DavStatus status = Report(L"REPORT", "0", body, parsed, answer);
    if ((answer.status == 403 || answer.status == 409) && NamesDavPrecondition(answer.body, "valid-sync-token")) {
        return DavStatus::TokenRejected;
    }
    if (status != DavStatus::Ok) return status;
    KeepMembers(parsed, out.resources);
    out.syncToken = parsed.syncToken;
    out.truncated = parsed.truncated;
    return DavStatus::Ok;
}

DavStatus WinHttpTransport::Fetch(const std::vector<std::string>& hrefs, std::vector<DavResource>& out) {
    out.clear();
    for (std::size_t first = 0; first < hrefs.size(); first += kFetchBatch) {
        std::string body = "<C:calendar-multiget xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\">"
                           "<D:prop><D:getetag/><C:calendar-data/></D:prop>";
        for (std::size_t i = first; i < hrefs.size() && i < first + kFetchBatch; ++i) {
            if (ServerPath(hrefs[i], origin_) != hrefs[i]) return DavStatus::Refused;
            body += "<D:href>" + XmlEscaped(hrefs[i]) + "</D:href>";
        }
        body += "</C:calendar-multiget>";
        DavMultistatus parsed;
        Answer answer;
        const DavStatus status = Report(L"REPORT", "1", body, parsed, answer);
        if (status != DavStatus::Ok) {
            out.clear();
            return status;
        }
        KeepMembers(parsed, out);
    }
    return DavStatus::Ok;
}

DavStatus WinHttpTransport::Put(const std::string& href, const std::string& text, const std::string& ifMatch,
                                std::string& newEtag) {
    newEtag.clear();
    std::string headers = "Content-Type: text/calendar; charset=utf-8\r\n";
    if (ifMatch.empty()) {
        headers += "If-None-Match: *\r\n";
    } else if (UsableEtag(ifMatch, limits_.maxEtag)) {
        headers += "If-Match: " + ifMatch + "\r\n";
    } else {
        return DavStatus::Refused;
    }
    Answer answer;
    const DavStatus sent = Exchange(L"PUT", href, headers, text, answer);
    if (sent != DavStatus::Ok) return sent;
    const DavStatus status = StatusOf(answer.status);
    // A weak tag cannot go back in If-Match.
    if (status == DavStatus::Ok && answer.etag.compare(0, 2, "W/") != 0) newEtag = answer.etag;
    return status;
}

DavStatus WinHttpTransport::Delete(const std::string& href, const std::string& ifMatch) {
    std::string headers;
    if (!ifMatch.empty()) {
        if (!UsableEtag(ifMatch, limits_.maxEtag)) return DavStatus::Refused;
        headers = "If-Match: " + ifMatch + "\r\n";
    }
    Answer answer;
    const DavStatus sent = Exchange(L"DELETE", href, headers, std::string(), answer);
    return sent != DavStatus::Ok ? sent : StatusOf(answer.status);
}
