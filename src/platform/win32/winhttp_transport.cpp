#include "platform/win32/winhttp_transport.h"

#include <windows.h>

#include <bcrypt.h>
#include <winhttp.h>

#include <algorithm>
#include <cstdio>

#include "core/calendar.h"
#include "platform/win32/late_sync_calls.h"
#include "platform/win32/trace.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr char kXmlType[] = "Content-Type: application/xml; charset=utf-8\r\n";
constexpr char kXmlHead[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
// A multiget names this many hrefs, so that an answer stays well below the size limit.
constexpr std::size_t kFetchBatch = 50;
constexpr int kMaxRedirects = 5;
// What finding the calendar asks of each address on the way.
constexpr char kFindProps[] =
    "<D:resourcetype/><D:current-user-principal/><C:calendar-home-set/><C:supported-calendar-component-set/>";

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

DavStatus StatusOf(DWORD code) { return DavStatusOf(static_cast<int>(code)); }

long long SecondsSince1970() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<long long>(ticks / 10000000ull) - 11644473600ll;
}

bool SamePath(const std::string& a, const std::string& b) {
    auto bare = [](const std::string& path) {
        return !path.empty() && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
    };
    return bare(a) == bare(b);
}

bool SameOrigin(const HttpOrigin& a, const HttpOrigin& b) {
    return a.https == b.https && a.host == b.host && a.port == b.port;
}

// Where a password may go in Basic before the server has named a scheme:
// sealed, or never off this computer.
bool BasicUnasked(const HttpOrigin& origin) { return origin.https || IsLoopback(origin); }

bool IsRedirect(DWORD status) { return status == 301 || status == 302 || status == 307 || status == 308; }

HINTERNET ConnectTo(HINTERNET session, const HttpOrigin& origin) {
    std::string host = origin.host;
    if (host.size() > 2 && host.front() == '[') host = host.substr(1, host.size() - 2);
    return late::WinHttpConnect(session, Wide(host).c_str(), static_cast<INTERNET_PORT>(origin.port), 0);
}

// A header's values, all of them, joined by "\n"; a byte outside ASCII
// becomes a control character, which every reader of them refuses.
std::string HeaderValues(HINTERNET request, DWORD query) {
    std::string values;
    for (DWORD index = 0;;) {
        wchar_t text[2048];
        DWORD size = sizeof text;
        const DWORD before = index;
        if (!late::WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, text, &size, &index) ||
            index == before) {
            break;
        }
        if (!values.empty()) values += '\n';
        for (DWORD i = 0; i < size / sizeof(wchar_t); ++i) {
            values += text[i] < 0x80 ? static_cast<char>(text[i]) : '\x01';
        }
    }
    return values;
}

// The status line's phrase: not a header, so not one of an index.
std::string StatusText(HINTERNET request) {
    wchar_t text[256];
    DWORD size = sizeof text;
    if (!late::WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_TEXT, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                                   WINHTTP_NO_HEADER_INDEX)) {
        return {};
    }
    std::string phrase;
    for (DWORD i = 0; i < size / sizeof(wchar_t); ++i) phrase += text[i] < 0x80 ? static_cast<char>(text[i]) : '\x01';
    return phrase;
}

DavProblem ProblemOf(DWORD error) {
    switch (error) {
    case ERROR_WINHTTP_TIMEOUT:
    case 10060:  // WSAETIMEDOUT: Wine's word for it
        return DavProblem::TimedOut;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
        return DavProblem::Secure;
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        return DavProblem::NoSuchHost;
    default:
        return DavProblem::NoConnection;
    }
}

std::string Narrow(const wchar_t* ascii) {
    std::string text;
    for (; *ascii != 0; ++ascii) text += static_cast<char>(*ascii);
    return text;
}

}  // namespace

struct WinHttpTransport::Answer {
    DWORD status = 0;
    std::string body;
    std::string etag;
    std::string challenges;  // WWW-Authenticate
    std::string location;
    std::string reason;      // the status line's phrase
    std::string retryAfter;  // Retry-After
    DavProblem problem = DavProblem::None;  // when Unreachable
    bool reset = false;                       // the connection broke after it was made
    // Where it came from, after redirects.
    HttpOrigin origin;
    std::string path;
};

void WinHttpTransport::CloseInternet::operator()(void* handle) const { late::WinHttpCloseHandle(handle); }

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
                                   const std::string& password)
    : user_(user), password_(password) {
    HttpOrigin origin;
    std::string path;
    if (!SplitHttpUrl(collectionUrl, origin, path)) return;
    home_ = origin;
    // Over https the password travels sealed: Basic before the server asks saves a round.
    if (origin.https) challenge_.scheme = HttpChallenge::Scheme::Basic;

    session_.reset(late::WinHttpOpen(L"OrvCalendar", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0));
    if (!ORV_CHECK(session_ != nullptr)) return;
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (!late::WinHttpSetOption(session_.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) {
        // Systems that do not know TLS 1.3 refuse the whole set.
        protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;
        ORV_CHECK(late::WinHttpSetOption(session_.get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols));
    }
    given_ = path;
    MoveTo(origin, path);
}

WinHttpTransport::~WinHttpTransport() {
    WipeSecret(password_);
    WipeSecret(challenge_.nonce);
}

void WinHttpTransport::SetTimeouts(const HttpTimeouts& timeouts) { timeouts_ = timeouts; }

bool WinHttpTransport::MoveTo(const HttpOrigin& origin, const std::string& path) {
    path_ = path.empty() || path.back() != '/' ? path + '/' : path;
    if (connection_ != nullptr && SameOrigin(origin, origin_)) return true;
    connection_.reset(ConnectTo(session_.get(), origin));
    origin_ = origin;
    return ORV_CHECK(connection_ != nullptr);
}

std::string WinHttpTransport::AuthorizationLine(const wchar_t* method, const std::string& path) {
    std::string value;
    if (challenge_.scheme == HttpChallenge::Scheme::Basic) {
        value = BasicAuthorization(user_, password_);
    } else if (challenge_.scheme == HttpChallenge::Scheme::Digest) {
        unsigned char random[16];
        if (!ORV_CHECK_STATUS(late::BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
            return {};
        }
        static const char kHex[] = "0123456789abcdef";
        std::string cnonce;
        for (const unsigned char byte : random) {
            cnonce += kHex[byte >> 4];
            cnonce += kHex[byte & 15];
        }
        value = DigestAuthorization(challenge_, user_, password_, Narrow(method), path, ++nonceCount_, cnonce);
    }
    if (value.empty()) return {};
    std::string line = "Authorization: ";
    line += value;
    line += "\r\n";
    WipeSecret(value);
    return line;
}

DavStatus WinHttpTransport::SendOnce(const wchar_t* method, const HttpOrigin& origin, const std::string& path,
                                     const std::string& headers, const std::string& body, Answer& answer) {
    answer = Answer();
    HINTERNET connection = connection_.get();
    InternetHandle elsewhere;
    if (!SameOrigin(origin, origin_)) {
        elsewhere.reset(ConnectTo(session_.get(), origin));
        if (!ORV_CHECK(elsewhere != nullptr)) return DavStatus::Unreachable;
        connection = elsewhere.get();
    }
    const std::wstring widePath = Wide(path);
    if (widePath.empty()) return DavStatus::Refused;
    const InternetHandle request(late::WinHttpOpenRequest(connection, method, widePath.c_str(), nullptr,
                                                    WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                    origin.https ? WINHTTP_FLAG_SECURE : 0));
    if (!ORV_CHECK(request != nullptr)) return DavStatus::Refused;
    // Redirects and authentication are this class's own: WinHTTP's would
    // carry the password to wherever a server points.
    DWORD features = WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_AUTHENTICATION;
    if (!ORV_CHECK(late::WinHttpSetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &features, sizeof features))) {
        return DavStatus::Refused;
    }
    // The wait for the answer's headers has a timeout of its own, which
    // Wine leaves unbounded.
    DWORD answerMs = static_cast<DWORD>(timeouts_.receiveMs);
    if (!ORV_CHECK(late::WinHttpSetTimeouts(request.get(), timeouts_.resolveMs, timeouts_.connectMs, timeouts_.sendMs,
                                      timeouts_.receiveMs)) ||
        !ORV_CHECK(late::WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &answerMs,
                                    sizeof answerMs))) {
        return DavStatus::Refused;
    }
    std::wstring lines = Wide(headers);
    const BOOL sent = late::WinHttpSendRequest(request.get(), lines.c_str(), static_cast<DWORD>(lines.size()),
                                         const_cast<char*>(body.data()), static_cast<DWORD>(body.size()),
                                         static_cast<DWORD>(body.size()), 0);
    Wipe(lines);
    // Not traced with its text: the header lines hold the password.
    if (!sent || !late::WinHttpReceiveResponse(request.get(), nullptr)) {
        // Read before the trace, which may set another.
        const DWORD error = GetLastError();
        TraceFailure(sent ? "WinHttpReceiveResponse" : "WinHttpSendRequest", __FILE__, __LINE__, error);
        answer.problem = ProblemOf(error);
        // WSAECONNRESET is Wine's word for it; a connection closed before
        // any answer came reads as an invalid one.
        answer.reset = error == ERROR_WINHTTP_CONNECTION_ERROR || error == 10054 ||
                       error == ERROR_WINHTTP_INVALID_SERVER_RESPONSE;
        return DavStatus::Unreachable;
    }

    DWORD size = sizeof answer.status;
    if (!ORV_CHECK(late::WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                       WINHTTP_HEADER_NAME_BY_INDEX, &answer.status, &size,
                                       WINHTTP_NO_HEADER_INDEX))) {
        return DavStatus::Unreachable;
    }
    answer.etag = HeaderValues(request.get(), WINHTTP_QUERY_ETAG);
    if (!UsableEtag(answer.etag, limits_.maxEtag)) answer.etag.clear();
    if (answer.status == 401) answer.challenges = HeaderValues(request.get(), WINHTTP_QUERY_WWW_AUTHENTICATE);
    if (IsRedirect(answer.status)) answer.location = HeaderValues(request.get(), WINHTTP_QUERY_LOCATION);
    if (answer.status >= 300) {
        answer.reason = StatusText(request.get());
        answer.retryAfter = HeaderValues(request.get(), WINHTTP_QUERY_RETRY_AFTER);
    }
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!late::WinHttpReadData(request.get(), buffer, sizeof buffer, &read)) {
            const DWORD error = GetLastError();
            TraceFailure("WinHttpReadData", __FILE__, __LINE__, error);
            answer.problem = ProblemOf(error);
            return DavStatus::Unreachable;
        }
        if (read == 0) break;
        if (answer.body.size() + read > limits_.maxBytes) return DavStatus::Refused;
        answer.body.append(buffer, read);
    }
    return DavStatus::Ok;
}

DavStatus WinHttpTransport::Exchange(const wchar_t* method, const std::string& path, const std::string& headers,
                                     const std::string& body, Answer& answer) {
    answer = Answer();
    if (!Usable() || ServerPath(path, origin_) != path || body.size() > limits_.maxBytes) return DavStatus::Refused;
    HttpOrigin origin = origin_;
    std::string target = path;
    int redirects = 0;
    int challenges = 0;
    bool resent = false;
    for (;;) {
        const bool home = SameOrigin(origin, home_);
        std::string lines = home ? AuthorizationLine(method, target) : std::string();
        const bool withCredentials = !lines.empty();
        lines += headers;
        DavStatus sent = SendOnce(method, origin, target, lines, body, answer);
        WipeSecret(lines);
        if (sent == DavStatus::Unreachable && answer.reset && home && !withCredentials &&
            challenge_.scheme == HttpChallenge::Scheme::None && BasicUnasked(origin)) {
            // A server that wants a password may answer a request without one
            // with 401 and close before it has read the body, which arrives
            // as a reset: sent again the same way, it fails the same way.
            challenge_.scheme = HttpChallenge::Scheme::Basic;
            continue;
        }
        if (sent == DavStatus::Unreachable && answer.reset && !resent) {
            // A kept-alive connection the server had closed: once more on a new one.
            resent = true;
            continue;
        }
        if (sent == DavStatus::Unreachable && !body.empty() && answer.reset) {
            // A server that refuses a request (the credentials, a moved
            // collection) may close the connection before it reads the body,
            // which then reads as a reset: asked again without one, it says why.
            Answer retry;
            std::string line = home ? AuthorizationLine(L"OPTIONS", target) : std::string();
            if (SendOnce(L"OPTIONS", origin, target, line, std::string(), retry) == DavStatus::Ok &&
                StatusOf(retry.status) != DavStatus::Ok) {
                answer = std::move(retry);
                sent = DavStatus::Ok;
            }
            WipeSecret(line);
        }
        problem_ = sent == DavStatus::Unreachable ? answer.problem : DavProblem::None;
        answer_ = DavAnswer();
        if (sent != DavStatus::Ok) return sent;
        answer_.code = static_cast<int>(answer.status);
        answer_.reason = ShownReason(answer.reason);
        answer_.retryAfter = RetryAfterSeconds(answer.retryAfter, SecondsSince1970());
        answer.origin = origin;
        answer.path = target;
        if (answer.status == 401 && home) {
            HttpChallenge offered = BestChallenge(answer.challenges);
            if (offered.scheme == HttpChallenge::Scheme::None && !withCredentials && BasicUnasked(origin)) {
                offered.scheme = HttpChallenge::Scheme::Basic;
            }
            // The same scheme refused again is the wrong password, unless only the nonce ran out.
            const bool again = offered.scheme != HttpChallenge::Scheme::None &&
                               (!withCredentials || offered.scheme != challenge_.scheme || offered.stale);
            if (!again || ++challenges > 2) return DavStatus::Ok;
            WipeSecret(challenge_.nonce);
            challenge_ = offered;
            nonceCount_ = 0;
            continue;
        }
        if (!IsRedirect(answer.status) || answer.location.empty()) return DavStatus::Ok;
        HttpOrigin next;
        std::string nextPath;
        if (++redirects > kMaxRedirects || !RedirectTarget(answer.location, origin, target, next, nextPath)) {
            return DavStatus::Refused;
        }
        origin = next;
        target = nextPath;
    }
}

DavStatus WinHttpTransport::Report(const wchar_t* method, const char* depth, const std::string& body,
                                   DavMultistatus& out, Answer& answer) {
    std::string headers = kXmlType;
    headers += "Depth: ";
    headers += depth;
    headers += "\r\n";
    const DavStatus sent = Exchange(method, path_, headers, kXmlHead + body, answer);
    if (sent != DavStatus::Ok) return sent;
    if (answer.status != 207) return answer.status < 300 ? DavStatus::Refused : StatusOf(answer.status);
    return ParseMultistatus(answer.body, answer.origin, out, limits_) == DavParse::Ok ? DavStatus::Ok
                                                                                       : DavStatus::Refused;
}

void WinHttpTransport::KeepMembers(DavMultistatus& parsed, std::vector<DavResource>& out) const {
    for (DavResource& resource : parsed.resources) {
        if (!SamePath(resource.href, path_)) out.push_back(std::move(resource));
    }
}

DavStatus WinHttpTransport::Properties(const std::string& path, const char* depth, const char* props,
                                       DavMultistatus& out, std::string& finalPath) {
    out = DavMultistatus();
    std::string headers = kXmlType;
    headers += "Depth: ";
    headers += depth;
    headers += "\r\n";
    std::string body = kXmlHead;
    body += "<D:propfind xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:caldav\"><D:prop>";
    body += props;
    body += "</D:prop></D:propfind>";
    Answer answer;
    const DavStatus sent = Exchange(L"PROPFIND", path, headers, body, answer);
    if (sent != DavStatus::Ok) return sent;
    if (answer.status != 207) return answer.status < 300 ? DavStatus::Refused : StatusOf(answer.status);
    if (ParseMultistatus(answer.body, answer.origin, out, limits_) != DavParse::Ok) return DavStatus::Refused;
    // Some servers (xandikos) say 404 inside the 207.
    if (std::none_of(out.resources.begin(), out.resources.end(), [](const DavResource& r) { return !r.gone; })) {
        return DavStatus::NotFound;
    }
    // Where a redirect led is where the rest of the way starts.
    finalPath = answer.path;
    return SameOrigin(answer.origin, origin_) || MoveTo(answer.origin, finalPath) ? DavStatus::Ok
                                                                                  : DavStatus::Unreachable;
}

DavStatus WinHttpTransport::Discover() {
    DavMultistatus found;
    std::string at;
    const auto calendarAt = [&](const std::string& path) {
        for (const DavCollectionProps& c : found.collections) {
            if (c.calendar && SamePath(c.href, path)) return true;
        }
        return false;
    };
    const auto principal = [&]() {
        for (const DavCollectionProps& c : found.collections) {
            if (!c.principal.empty()) return c.principal;
        }
        return std::string();
    };
    // As given: "/.well-known/caldav/" is not where the redirect is.
    DavStatus status = Properties(given_, "0", kFindProps, found, at);
    if (status == DavStatus::Ok && calendarAt(at)) return MoveTo(origin_, at) ? DavStatus::Ok : DavStatus::Refused;
    // A path that is not there is a mistake to tell, not one to guess past.
    if (status == DavStatus::Unreachable || status == DavStatus::Unauthorized || status == DavStatus::Forbidden ||
        (status == DavStatus::NotFound && given_ != "/")) {
        return status;
    }
    std::string user = status == DavStatus::Ok ? principal() : std::string();
    if (user.empty()) {
        status = Properties("/.well-known/caldav", "0", kFindProps, found, at);
        if (status != DavStatus::Ok) return status == DavStatus::NotFound ? DavStatus::Refused : status;
        if (calendarAt(at)) return MoveTo(origin_, at) ? DavStatus::Ok : DavStatus::Refused;
        user = principal();
        if (user.empty()) return DavStatus::Refused;
    }
    if ((status = Properties(user, "0", kFindProps, found, at)) != DavStatus::Ok) return status;
    std::string home;
    for (const DavCollectionProps& c : found.collections) {
        if (home.empty()) home = c.calendarHome;
    }
    if (home.empty()) return DavStatus::Refused;
    if ((status = Properties(home, "1", kFindProps, found, at)) != DavStatus::Ok) return status;
    for (const DavCollectionProps& c : found.collections) {
        // No component set: the calendar takes every kind.
        if (c.calendar && (!c.componentsNamed || c.vevent) && !c.href.empty()) {
            return MoveTo(origin_, c.href) ? DavStatus::Ok : DavStatus::Refused;
        }
    }
    return DavStatus::NotFound;
}

DavStatus WinHttpTransport::Probe(bool& syncCollection, std::string& syncToken) {
    syncCollection = false;
    syncToken.clear();
    if (!Usable()) return DavStatus::Refused;
    if (!discovered_) {
        const DavStatus found = Discover();
        if (found != DavStatus::Ok) return found;
        discovered_ = true;
    }
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
