#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/dav_multistatus.h"
#include "platform/win32/dav_url.h"

namespace {

HttpOrigin Loopback() {
    HttpOrigin origin;
    std::string path;
    EXPECT_TRUE(SplitHttpUrl("http://127.0.0.1:5232/user/cal/", origin, path));
    return origin;
}

// Parses a multistatus and writes what came out as one line per resource
// ("href|etag|data" or "href gone"), then the token and flags.
std::string Summary(const std::string& xml, DavParse& result, const DavLimits& limits = {}) {
    DavMultistatus parsed;
    result = ParseMultistatus(xml, Loopback(), parsed, limits);
    std::string text;
    for (const DavResource& r : parsed.resources) {
        text += r.gone ? r.href + " gone\n" : r.href + "|" + r.etag + "|" + r.calendarData + "\n";
    }
    if (!parsed.syncToken.empty()) text += "token " + parsed.syncToken + "\n";
    if (parsed.truncated) text += "truncated\n";
    if (parsed.syncCollectionReport) text += "sync-collection\n";
    return text;
}

const char kOk[] = "<D:status>HTTP/1.1 200 OK</D:status>";

std::string EtagResponse(const std::string& href, const std::string& etag) {
    return "<D:response><D:href>" + href + "</D:href><D:propstat><D:prop><D:getetag>" + etag +
           "</D:getetag></D:prop>" + kOk + "</D:propstat></D:response>";
}

std::string Multistatus(const std::string& inner) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<D:multistatus xmlns:D=\"DAV:\" "
           "xmlns:C=\"urn:ietf:params:xml:ns:caldav\">" + inner + "</D:multistatus>";
}

struct Case {
    const char* name;
    std::string xml;
    DavParse result;
    std::string summary;
};

TEST(DavMultistatus, AnswersReadByNamespaceNotPrefix) {
    const Case cases[] = {
        {"multiget with the usual prefixes",
         Multistatus("<D:response><D:href>/user/cal/a.ics</D:href><D:propstat><D:prop><D:getetag>\"1\"</D:getetag>"
                     "<C:calendar-data>BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n</C:calendar-data></D:prop>" +
                     std::string(kOk) + "</D:propstat></D:response>" + EtagResponse("/user/cal/b.ics", "\"2\"")),
         // XML reads a literal CR LF as LF (the iCalendar reader takes either).
         DavParse::Ok, "/user/cal/a.ics|\"1\"|BEGIN:VCALENDAR\nEND:VCALENDAR\n\n/user/cal/b.ics|\"2\"|\n"},
        {"default namespace, other prefix for caldav, whitespace around values",
         "<multistatus xmlns=\"DAV:\"><response><href>\n /user/cal/a.ics \n</href><propstat><prop>"
         "<getetag> \"x\" </getetag><q:calendar-data xmlns:q=\"urn:ietf:params:xml:ns:caldav\">T</q:calendar-data>"
         "</prop><status>HTTP/1.1 200 OK</status></propstat></response></multistatus>",
         DavParse::Ok, "/user/cal/a.ics|\"x\"|T\n"},
        {"a DAV: name under another namespace is not the property",
         Multistatus("<D:response xmlns:X=\"urn:other\"><D:href>/user/cal/a.ics</D:href><D:propstat><D:prop>"
                     "<X:getetag>\"no\"</X:getetag><D:calendar-data>no</D:calendar-data></D:prop>" +
                     std::string(kOk) + "</D:propstat></D:response>"),
         DavParse::Ok, "/user/cal/a.ics||\n"},
        {"etag missing: its propstat says 404",
         Multistatus("<D:response><D:href>/user/cal/a.ics</D:href><D:propstat><D:prop><C:calendar-data>T"
                     "</C:calendar-data></D:prop>" + std::string(kOk) + "</D:propstat><D:propstat><D:prop><D:getetag/>"
                     "</D:prop><D:status>HTTP/1.1 404 Not Found</D:status></D:propstat></D:response>"),
         DavParse::Ok, "/user/cal/a.ics||T\n"},
        {"removed resources: one response with two hrefs, one 410",
         Multistatus("<D:response><D:href>/user/cal/a.ics</D:href><D:href>/user/cal/b.ics</D:href>"
                     "<D:status>HTTP/1.1 404 Not Found</D:status></D:response><D:response><D:href>/user/cal/c.ics"
                     "</D:href><D:status>HTTP/1.1 410 Gone</D:status></D:response><D:sync-token>t2</D:sync-token>"),
         DavParse::Ok, "/user/cal/a.ics gone\n/user/cal/b.ics gone\n/user/cal/c.ics gone\ntoken t2\n"},
        {"507 on the collection: truncated, the rest kept",
         Multistatus(EtagResponse("/user/cal/a.ics", "\"1\"") +
                     "<D:response><D:href>/user/cal/</D:href><D:status>HTTP/1.1 507 Insufficient Storage</D:status>"
                     "</D:response><D:sync-token>\n http://x/ns/sync/7 \n</D:sync-token>"),
         DavParse::Ok, "/user/cal/a.ics|\"1\"|\ntoken http://x/ns/sync/7\ntruncated\n"},
        {"absolute hrefs: this origin's kept as paths, any other dropped",
         Multistatus(EtagResponse("HTTP://127.0.0.1:5232/user/cal/a.ics", "\"1\"") +
                     EtagResponse("http://evil.example/user/cal/b.ics", "\"2\"") +
                     EtagResponse("http://127.0.0.1:5233/user/cal/c.ics", "\"3\"") +
                     EtagResponse("https://127.0.0.1:5232/user/cal/d.ics", "\"4\"") +
                     EtagResponse("//evil.example/e.ics", "\"5\"") + EtagResponse("f.ics", "\"6\"") +
                     EtagResponse("http://u@127.0.0.1:5232/g.ics", "\"7\"") +
                     EtagResponse("/user/cal/h i.ics", "\"8\"") + EtagResponse("/user/cal/j.ics?x", "\"9\"")),
         DavParse::Ok, "/user/cal/a.ics|\"1\"|\n"},
        {"the collection's properties",
         Multistatus("<D:response><D:href>/user/cal/</D:href><D:propstat><D:prop><D:sync-token>tok</D:sync-token>"
                     "<D:supported-report-set><D:supported-report><D:report><C:calendar-multiget/></D:report>"
                     "</D:supported-report><D:supported-report><D:report><D:sync-collection/></D:report>"
                     "</D:supported-report></D:supported-report-set></D:prop>" + std::string(kOk) +
                     "</D:propstat></D:response>"),
         DavParse::Ok, "/user/cal/||\ntoken tok\nsync-collection\n"},
        {"sync-collection straight in supported-report, without DAV:report (xandikos)",
         Multistatus("<D:response><D:href>/user/cal/</D:href><D:propstat><D:prop><D:supported-report-set>"
                     "<D:supported-report><D:sync-collection/></D:supported-report></D:supported-report-set>"
                     "</D:prop>" + std::string(kOk) + "</D:propstat></D:response>"),
         DavParse::Ok, "/user/cal/||\nsync-collection\n"},
        {"no sync-collection: named outside a report, or refused in a 404 propstat",
         Multistatus("<D:response><D:href>/user/cal/</D:href><D:propstat><D:prop><D:supported-report-set>"
                     "<D:sync-collection/><D:supported-report><D:report><C:calendar-query/></D:report>"
                     "</D:supported-report></D:supported-report-set></D:prop>" + std::string(kOk) +
                     "</D:propstat><D:propstat><D:prop><D:sync-token>no</D:sync-token><D:supported-report-set>"
                     "<D:supported-report><D:report><D:sync-collection/></D:report></D:supported-report>"
                     "</D:supported-report-set></D:prop><D:status>HTTP/1.1 404 Not Found</D:status></D:propstat>"
                     "</D:response>"),
         DavParse::Ok, "/user/cal/||\n"},
        {"predefined entities, character references and CDATA; UTF-8 kept",
         Multistatus("<D:response><D:href>/user/cal/a&amp;b%20c.ics</D:href><D:propstat><D:prop><D:getetag>"
                     "&quot;&#x31;&quot;</D:getetag><C:calendar-data><![CDATA[SUMMARY:caf\xC3\xA9 <&>]]>"
                     "\n&#x65E5;\xF0\x9F\x98\x80</C:calendar-data></D:prop>" + std::string(kOk) +
                     "</D:propstat></D:response>"),
         DavParse::Ok, "/user/cal/a&b%20c.ics|\"1\"|SUMMARY:caf\xC3\xA9 <&>\n\xE6\x97\xA5\xF0\x9F\x98\x80\n"},
        {"an internal entity", "<?xml version=\"1.0\"?><!DOCTYPE D:multistatus [<!ENTITY x \"boom\">]>" +
                                   Multistatus(EtagResponse("/user/cal/&x;.ics", "\"1\"")).substr(39),
         DavParse::Malformed, ""},
        {"an external entity", "<?xml version=\"1.0\"?><!DOCTYPE D:multistatus SYSTEM \"file:///etc/passwd\">" +
                                   Multistatus(EtagResponse("/user/cal/a.ics", "\"1\"")).substr(39),
         DavParse::Malformed, ""},
        {"billion laughs", "<?xml version=\"1.0\"?><!DOCTYPE l [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
                           "<l>&b;</l>",
         DavParse::Malformed, ""},
        {"empty", "", DavParse::Malformed, ""},
        {"not XML", "HTTP/1.1 500 oops", DavParse::Malformed, ""},
        {"cut short", Multistatus(EtagResponse("/user/cal/a.ics", "\"1\"")).substr(0, 150), DavParse::Malformed, ""},
        {"crossed tags", Multistatus("<D:response><D:href>/a</D:response></D:href>"), DavParse::Malformed, ""},
        {"another root", "<D:error xmlns:D=\"DAV:\"><D:valid-sync-token/></D:error>", DavParse::Malformed, ""},
        {"a response without href", Multistatus("<D:response><D:status>HTTP/1.1 404 x</D:status></D:response>"),
         DavParse::Malformed, ""},
        {"a status that is no status line",
         Multistatus("<D:response><D:href>/a</D:href><D:status>404</D:status></D:response>"), DavParse::Malformed,
         ""},
        {"a status it cannot use",
         Multistatus("<D:response><D:href>/a</D:href><D:status>HTTP/1.1 403 Forbidden</D:status></D:response>"),
         DavParse::Malformed, ""},
        {"properties for two hrefs at once",
         Multistatus("<D:response><D:href>/a</D:href><D:href>/b</D:href><D:propstat><D:prop><D:getetag>\"1\""
                     "</D:getetag></D:prop>" + std::string(kOk) + "</D:propstat></D:response>"),
         DavParse::Malformed, ""},
    };
    for (const Case& c : cases) {
        DavParse result = DavParse::Ok;
        EXPECT_EQ(Summary(c.xml, result), c.summary) << c.name;
        EXPECT_EQ(result, c.result) << c.name;
    }
}

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

// head, n fill characters, tail; built by appending (GCC 12 misreads the sum of three).
std::string Filled(const char* head, char fill, std::size_t n, const char* tail) {
    std::string text(head);
    text.append(n, fill);
    return text.append(tail);
}

std::string Nested(unsigned depth) {
    // multistatus, response and propstat, prop make four; the rest are unknown elements.
    std::string open;
    std::string close;
    for (unsigned i = 4; i < depth; ++i) {
        open += "<x:e xmlns:x=\"urn:x\">";
        close = "</x:e>" + close;
    }
    return Multistatus("<D:response><D:href>/a</D:href><D:propstat><D:prop>" + open + close + "</D:prop>" +
                       std::string(kOk) + "</D:propstat></D:response>");
}

std::string Responses(std::size_t n) {
    std::string inner;
    for (std::size_t i = 0; i < n; ++i) inner += "<D:response><D:href>/a</D:href><D:status>HTTP/1.1 404 x</D:status></D:response>";
    return Multistatus(inner);
}

std::string Sized(std::size_t bytes) {
    std::string xml = Multistatus(EtagResponse("/a", "\"1\""));
    xml.insert(xml.size() - std::string("</D:multistatus>").size(), bytes - xml.size(), ' ');
    return xml;
}

TEST(DavMultistatus, EveryLimitHoldsAtItsEdge) {
    const DavLimits limits;
    struct Edge {
        const char* name;
        std::string (*answer)(std::size_t);
        std::size_t limit;
    };
    const Edge edges[] = {
        {"href", [](std::size_t n) { return Multistatus(EtagResponse(Filled("/", 'h', n - 1, ""), "\"1\"")); },
         limits.maxHref},
        {"etag", [](std::size_t n) { return Multistatus(EtagResponse("/a", Filled("\"", 'e', n - 2, "\""))); },
         limits.maxEtag},
        {"calendar data",
         [](std::size_t n) {
             return Multistatus("<D:response><D:href>/a</D:href><D:propstat><D:prop><C:calendar-data>" +
                                Repeat('d', n) + "</C:calendar-data></D:prop>" + kOk + "</D:propstat></D:response>");
         },
         limits.maxCalendarData},
        {"sync token", [](std::size_t n) { return Multistatus("<D:sync-token>" + Repeat('t', n) + "</D:sync-token>"); },
         limits.maxSyncToken},
        {"responses", Responses, limits.maxResponses},
        {"nesting", [](std::size_t n) { return Nested(static_cast<unsigned>(n)); }, limits.maxDepth},
        {"answer size", Sized, limits.maxBytes},
    };
    for (const Edge& edge : edges) {
        DavMultistatus parsed;
        EXPECT_EQ(ParseMultistatus(edge.answer(edge.limit), Loopback(), parsed), DavParse::Ok) << edge.name;
        EXPECT_FALSE(parsed.resources.empty() && parsed.syncToken.empty()) << edge.name;
        EXPECT_EQ(ParseMultistatus(edge.answer(edge.limit + 1), Loopback(), parsed), DavParse::OverLimit) << edge.name;
        EXPECT_TRUE(parsed.resources.empty()) << edge.name;
    }
    // Multi-byte text counts in UTF-8 bytes.
    DavMultistatus parsed;
    EXPECT_EQ(ParseMultistatus(Multistatus(EtagResponse("/a", Filled("\"", 'e', limits.maxEtag - 4, "\xC3\xA9\""))),
                               Loopback(), parsed),
              DavParse::Ok);
    EXPECT_EQ(ParseMultistatus(Multistatus(EtagResponse("/a", Filled("\"", 'e', limits.maxEtag - 3, "\xC3\xA9\""))),
                               Loopback(), parsed),
              DavParse::OverLimit);
}

TEST(DavMultistatus, PreconditionNamedInAnErrorAnswer) {
    const struct {
        const char* xml;
        bool named;
    } cases[] = {
        {"<D:error xmlns:D=\"DAV:\"><D:valid-sync-token/></D:error>", true},
        {"<?xml version=\"1.0\"?><error xmlns=\"DAV:\">\n  <valid-sync-token></valid-sync-token>\n</error>", true},
        {"<D:error xmlns:D=\"DAV:\"><D:number-of-matches-within-limits/></D:error>", false},
        {"<D:error xmlns:D=\"urn:x\"><D:valid-sync-token/></D:error>", false},
        {"<D:error xmlns:D=\"DAV:\"><D:x><D:valid-sync-token/></D:x></D:error>", false},
        {"<D:multistatus xmlns:D=\"DAV:\"><D:valid-sync-token/></D:multistatus>", false},
        {"<D:error xmlns:D=\"DAV:\"><D:valid-sync-token/>", false},
        {"<!DOCTYPE e [<!ENTITY v \"valid-sync-token\">]><D:error xmlns:D=\"DAV:\"><D:valid-sync-token/></D:error>",
         false},
        {"Forbidden", false},
    };
    for (const auto& c : cases) EXPECT_EQ(NamesDavPrecondition(c.xml, "valid-sync-token"), c.named) << c.xml;
}

TEST(DavUrl, OnlyPlainHttpAddressesOfTheServer) {
    const struct {
        const char* url;
        bool ok;
        bool https;
        const char* host;
        unsigned port;
        const char* path;
    } cases[] = {
        {"https://Cal.Example.org/dav/cal/", true, true, "cal.example.org", 443, "/dav/cal/"},
        {"http://127.0.0.1:5232/u/c", true, false, "127.0.0.1", 5232, "/u/c"},
        {"HTTP://[::1]:8080", true, false, "[::1]", 8080, "/"},
        {"https://host:65535/", true, true, "host", 65535, "/"},
        {"https://host:65536/", false, false, "", 0, ""},
        {"https://host:0/", false, false, "", 0, ""},
        {"https://host:/", true, true, "host", 443, "/"},
        {"ftp://host/", false, false, "", 0, ""},
        {"file:///C:/x", false, false, "", 0, ""},
        {"\\\\host\\share", false, false, "", 0, ""},
        {"https://user:pw@host/", false, false, "", 0, ""},
        {"https://user@host/", false, false, "", 0, ""},
        {"https:///path", false, false, "", 0, ""},
        {"https://host/a?b", false, false, "", 0, ""},
        {"https://host/a#b", false, false, "", 0, ""},
        {"https://host/a b", false, false, "", 0, ""},
        {"https://host/a\\b", false, false, "", 0, ""},
        {"https://host/a\r\nX: y", false, false, "", 0, ""},
        {"https://ho st/", false, false, "", 0, ""},
        {"https://host/caf\xC3\xA9/", false, false, "", 0, ""},
    };
    for (const auto& c : cases) {
        HttpOrigin origin;
        std::string path;
        ASSERT_EQ(SplitHttpUrl(c.url, origin, path), c.ok) << c.url;
        if (!c.ok) continue;
        EXPECT_EQ(origin.https, c.https) << c.url;
        EXPECT_EQ(origin.host, c.host) << c.url;
        EXPECT_EQ(origin.port, c.port) << c.url;
        EXPECT_EQ(path, c.path) << c.url;
    }
}

// Where Basic may go before the server has named a scheme.
TEST(DavUrl, LoopbackAddresses) {
    const struct {
        const char* url;
        bool loopback;
    } cases[] = {
        {"http://127.0.0.1:5232/", true},
        {"http://127.255.0.9/", true},
        {"http://LocalHost:8080/", true},
        {"http://[::1]:8080/", true},
        {"http://128.0.0.1/", false},
        {"http://127.0.0.1.example.net/", false},
        {"http://127.0.0/", false},
        {"http://127.0.0.1.1/", false},
        {"http://127.0.0.256/", false},
        {"http://127.0.0.0001/", false},
        {"http://127..0.1/", false},
        {"http://localhost.example.net/", false},
        {"http://[::2]/", false},
        {"http://cal.example.org/", false},
    };
    for (const auto& c : cases) {
        HttpOrigin origin;
        std::string path;
        ASSERT_TRUE(SplitHttpUrl(c.url, origin, path)) << c.url;
        EXPECT_EQ(IsLoopback(origin), c.loopback) << c.url;
    }
}

TEST(DavMultistatus, WhatFindingTheCalendarReads) {
    const std::string answer = Multistatus(
        "<D:response><D:href>/user/</D:href><D:propstat><D:prop><D:resourcetype><D:collection/></D:resourcetype>"
        "<D:current-user-principal><D:href>/user/</D:href></D:current-user-principal><C:calendar-home-set>"
        "<D:href>http://127.0.0.1:5232/user/cals/</D:href><D:href>/second/</D:href></C:calendar-home-set>"
        "</D:prop>" + std::string(kOk) + "</D:propstat></D:response>"
        // A calendar for tasks only.
        "<D:response><D:href>/user/cals/tasks/</D:href><D:propstat><D:prop><D:resourcetype><D:collection/>"
        "<C:calendar/></D:resourcetype><C:supported-calendar-component-set><C:comp name=\"VTODO\"/>"
        "</C:supported-calendar-component-set></D:prop>" + std::string(kOk) + "</D:propstat></D:response>"
        "<D:response><D:href>/user/cals/work/</D:href><D:propstat><D:prop><D:resourcetype><D:collection/>"
        "<C:calendar/></D:resourcetype><C:supported-calendar-component-set><C:comp name=\"VTODO\"/>"
        "<C:comp name=\"VEVENT\"></C:comp></C:supported-calendar-component-set></D:prop>" + std::string(kOk) +
        "</D:propstat></D:response>"
        // Calendar named only in a refused propstat; principal of another host.
        "<D:response><D:href>/user/cals/other/</D:href><D:propstat><D:prop><D:resourcetype><C:calendar/>"
        "</D:resourcetype></D:prop><D:status>HTTP/1.1 404 Not Found</D:status></D:propstat><D:propstat><D:prop>"
        "<D:current-user-principal><D:href>https://evil.example/p/</D:href></D:current-user-principal></D:prop>" +
        std::string(kOk) + "</D:propstat></D:response>");
    DavMultistatus parsed;
    ASSERT_EQ(ParseMultistatus(answer, Loopback(), parsed), DavParse::Ok);
    std::string text;
    for (const DavCollectionProps& c : parsed.collections) {
        text += c.href + (c.calendar ? " calendar" : "") + (c.componentsNamed ? " components" : "") +
                (c.vevent ? " vevent" : "") + " principal=" + c.principal + " home=" + c.calendarHome + "\n";
    }
    EXPECT_EQ(text,
              "/user/ principal=/user/ home=/user/cals/\n"
              "/user/cals/tasks/ calendar components principal= home=\n"
              "/user/cals/work/ calendar components vevent principal= home=\n");
}

TEST(DavUrl, RedirectTargets) {
    HttpOrigin plain;
    HttpOrigin sealed;
    std::string unused;
    ASSERT_TRUE(SplitHttpUrl("http://127.0.0.1:5232/", plain, unused));
    ASSERT_TRUE(SplitHttpUrl("https://cal.example.org/", sealed, unused));
    const struct {
        const char* location;
        bool fromHttps;
        const char* target;  // empty when refused
    } cases[] = {
        {"/dav/cal/", false, "http://127.0.0.1:5232/dav/cal/"},
        {"cal2/", false, "http://127.0.0.1:5232/u/cal/cal2/"},
        {"HTTPS://Other.example:8443/x/", false, "https://other.example:8443/x/"},
        {"https://cal.example.org/x/", true, "https://cal.example.org:443/x/"},
        {"http://cal.example.org/x/", true, ""},  // never down to plain http
        {"/x/", true, "https://cal.example.org:443/x/"},
        {"//evil.example/x/", false, ""},
        {"/a/../b/", false, ""},
        {"..", false, ""},
        {"./", false, ""},
        {"/a b/", false, ""},
        {"", false, ""},
        {"ftp://host/", false, ""},
        {"mailto:x", false, ""},
    };
    for (const auto& c : cases) {
        HttpOrigin origin;
        std::string path;
        const bool ok = RedirectTarget(c.location, c.fromHttps ? sealed : plain, "/u/cal/", origin, path);
        std::string target;
        if (ok) {
            target = origin.https ? "https://" : "http://";
            target += origin.host;
            target += ':';
            target += std::to_string(origin.port);
            target += path;
        }
        EXPECT_EQ(target, c.target) << c.location;
    }
}

}  // namespace
