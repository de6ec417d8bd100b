#include "platform/win32/dav_multistatus.h"

#include <windows.h>

#include <objidl.h>
#include <xmllite.h>

#include <climits>
#include <cstring>
#include <cwchar>

#include "platform/win32/com_ptr.h"
#include "platform/win32/late_bound.h"
#include "platform/win32/trace.h"

namespace {

constexpr wchar_t kDav[] = L"DAV:";
constexpr wchar_t kCalDav[] = L"urn:ietf:params:xml:ns:caldav";

// xmllite.dll has no import library in every SDK, and most runs never sync.
bool OpenReader(std::string_view answer, ComPtr<IXmlReader>& reader) {
    if (answer.size() > UINT_MAX) return false;
    using Create = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
    const auto create = LateBound<Create>("xmllite.dll", "CreateXmlReader");
    if (!ORV_CHECK(create != nullptr)) return false;
    if (!ORV_CHECK_STATUS(create(__uuidof(IXmlReader), reader.OutVoid(), nullptr))) return false;
    // No DTD: no entity of the server's own can expand or name a file.
    if (!ORV_CHECK_STATUS(reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit))) return false;
    ComPtr<IStream> stream;
    if (!ORV_CHECK_STATUS(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()))) return false;
    ULONG written = 0;
    if (!answer.empty() &&
        (!ORV_CHECK_STATUS(stream->Write(answer.data(), static_cast<ULONG>(answer.size()), &written)) ||
         written != answer.size())) {
        return false;
    }
    LARGE_INTEGER start = {};
    if (!ORV_CHECK_STATUS(stream->Seek(start, STREAM_SEEK_SET, nullptr))) return false;
    return ORV_CHECK_STATUS(reader->SetInput(stream.Get()));
}

// Every node takes at least a byte of the answer. Wine's reader, left inside
// an element at the end of its input, reports that element again without end.
bool Progressing(XmlNodeType type, std::size_t nodes, std::size_t answerBytes) {
    return type != XmlNodeType_None && nodes <= answerBytes;
}

enum class Tag {
    Other,
    Multistatus,
    Response,
    Href,
    Status,
    Propstat,
    Prop,
    GetEtag,
    SyncToken,
    SupportedReportSet,
    SupportedReport,
    Report,
    SyncCollection,
    CalendarData,
    Error,
    ResourceType,
    Calendar,
    CurrentUserPrincipal,
    CalendarHomeSet,
    SupportedCalendarComponentSet,
    Comp,
};

bool Is(const wchar_t* text, UINT length, const wchar_t* expected) {
    return std::wcslen(expected) == length && std::wmemcmp(text, expected, length) == 0;
}

Tag TagOf(IXmlReader& reader) {
    const wchar_t* uri = nullptr;
    const wchar_t* name = nullptr;
    UINT uriLength = 0;
    UINT nameLength = 0;
    if (FAILED(reader.GetNamespaceUri(&uri, &uriLength)) || FAILED(reader.GetLocalName(&name, &nameLength))) {
        return Tag::Other;
    }
    if (Is(uri, uriLength, kCalDav)) {
        if (Is(name, nameLength, L"calendar-data")) return Tag::CalendarData;
        if (Is(name, nameLength, L"calendar")) return Tag::Calendar;
        if (Is(name, nameLength, L"calendar-home-set")) return Tag::CalendarHomeSet;
        if (Is(name, nameLength, L"supported-calendar-component-set")) return Tag::SupportedCalendarComponentSet;
        return Is(name, nameLength, L"comp") ? Tag::Comp : Tag::Other;
    }
    if (!Is(uri, uriLength, kDav)) return Tag::Other;
    static const struct {
        const wchar_t* name;
        Tag tag;
    } kNames[] = {
        {L"multistatus", Tag::Multistatus},
        {L"response", Tag::Response},
        {L"href", Tag::Href},
        {L"status", Tag::Status},
        {L"propstat", Tag::Propstat},
        {L"prop", Tag::Prop},
        {L"getetag", Tag::GetEtag},
        {L"sync-token", Tag::SyncToken},
        {L"supported-report-set", Tag::SupportedReportSet},
        {L"supported-report", Tag::SupportedReport},
        {L"report", Tag::Report},
        {L"sync-collection", Tag::SyncCollection},
        {L"error", Tag::Error},
        {L"resourcetype", Tag::ResourceType},
        {L"current-user-principal", Tag::CurrentUserPrincipal},
    };
    for (const auto& entry : kNames) {
        if (Is(name, nameLength, entry.name)) return entry.tag;
    }
    return Tag::Other;
}

// Appends a text node to target as UTF-8; false past limit.
bool AppendText(IXmlReader& reader, std::string& target, std::size_t limit) {
    const wchar_t* text = nullptr;
    UINT length = 0;
    if (FAILED(reader.GetValue(&text, &length)) || length == 0) return true;
    if (length > INT_MAX / 4) return false;
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return true;
    if (static_cast<std::size_t>(n) > limit || target.size() > limit - static_cast<std::size_t>(n)) return false;
    const std::size_t at = target.size();
    target.resize(at + static_cast<std::size_t>(n));
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), &target[at], n, nullptr, nullptr);
    return true;
}

std::string Trimmed(const std::string& text) {
    const char* space = " \t\r\n";
    const std::size_t first = text.find_first_not_of(space);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

// "HTTP/1.1 404 Not Found" -> 404; 0 when it is not a status line.
int StatusCode(const std::string& line) {
    const std::string text = Trimmed(line);
    const std::size_t space = text.find(' ');
    if (text.compare(0, 5, "HTTP/") != 0 || space == std::string::npos || text.size() < space + 4) return 0;
    int code = 0;
    for (std::size_t i = space + 1; i < space + 4; ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        code = code * 10 + (text[i] - '0');
    }
    if (text.size() > space + 4 && text[space + 4] != ' ') return 0;
    return code;
}

class MultistatusReader {
public:
    MultistatusReader(const HttpOrigin& origin, const DavLimits& limits, DavMultistatus& out)
        : origin_(origin), limits_(limits), out_(out) {}

    DavParse Read(IXmlReader& reader, std::size_t answerBytes) {
        XmlNodeType type = XmlNodeType_None;
        HRESULT hr = S_OK;
        std::size_t nodes = 0;
        while ((hr = reader.Read(&type)) == S_OK) {
            if (!Progressing(type, ++nodes, answerBytes)) return DavParse::Malformed;
            DavParse step = DavParse::Ok;
            switch (type) {
            case XmlNodeType_DocumentType:
                return DavParse::Malformed;
            case XmlNodeType_Element: {
                const bool empty = reader.IsEmptyElement() != FALSE;
                if (stack_.size() >= limits_.maxDepth) return DavParse::OverLimit;
                step = Open(TagOf(reader));
                if (step == DavParse::Ok && Path({Tag::Prop, Tag::SupportedCalendarComponentSet, Tag::Comp}) &&
                    NamesVevent(reader)) {
                    propstat_.vevent = true;
                }
                if (step == DavParse::Ok && empty) step = Close();
                break;
            }
            case XmlNodeType_EndElement:
                step = Close();
                break;
            case XmlNodeType_Text:
            case XmlNodeType_CDATA:
            case XmlNodeType_Whitespace:
                if (std::string* target = Target(); target != nullptr && !AppendText(reader, *target, limit_)) {
                    return DavParse::OverLimit;
                }
                break;
            default:
                break;
            }
            if (step != DavParse::Ok) return step;
        }
        if (hr != S_FALSE || !sawRoot_ || !stack_.empty()) return DavParse::Malformed;
        return DavParse::Ok;
    }

private:
    struct Propstat {
        std::string status;
        std::string etag;
        std::string calendarData;
        std::string syncToken;
        bool syncCollection = false;
        bool calendar = false;
        bool componentsNamed = false;
        bool vevent = false;
        std::string principal;
        std::string calendarHome;
        std::string href;  // the one being read inside a property
    };

    static bool NamesVevent(IXmlReader& reader) {
        const wchar_t* value = nullptr;
        UINT length = 0;
        const bool named = reader.MoveToAttributeByName(L"name", nullptr) == S_OK &&
                           SUCCEEDED(reader.GetValue(&value, &length)) && Is(value, length, L"VEVENT");
        reader.MoveToElement();
        return named;
    }

    bool Path(std::initializer_list<Tag> tail) const {
        if (stack_.size() < tail.size()) return false;
        auto it = stack_.end() - static_cast<std::ptrdiff_t>(tail.size());
        for (const Tag tag : tail) {
            if (*it++ != tag) return false;
        }
        return true;
    }

    DavParse Open(Tag tag) {
        if (stack_.empty()) {
            if (tag != Tag::Multistatus) return DavParse::Malformed;
            sawRoot_ = true;
        }
        stack_.push_back(tag);
        if (Path({Tag::Multistatus, Tag::Response}) && stack_.size() == 2) {
            if (++responses_ > limits_.maxResponses) return DavParse::OverLimit;
            hrefs_.clear();
            responseStatus_.clear();
            kept_ = Propstat();
            hasResponseStatus_ = false;
        } else if (Path({Tag::Response, Tag::Href}) && stack_.size() == 3) {
            hrefs_.emplace_back();
        } else if (Path({Tag::Response, Tag::Status}) && stack_.size() == 3) {
            hasResponseStatus_ = true;
        } else if (Path({Tag::Response, Tag::Propstat}) && stack_.size() == 3) {
            propstat_ = Propstat();
        } else if (Path({Tag::Prop, Tag::ResourceType, Tag::Calendar})) {
            propstat_.calendar = true;
        } else if (Path({Tag::Prop, Tag::SupportedCalendarComponentSet})) {
            propstat_.componentsNamed = true;
        } else if (Path({Tag::Prop, Tag::SupportedReportSet, Tag::SupportedReport, Tag::Report, Tag::SyncCollection}) ||
                   Path({Tag::Prop, Tag::SupportedReportSet, Tag::SupportedReport, Tag::SyncCollection})) {
            // Some servers (xandikos) leave out the DAV:report wrapper.
            propstat_.syncCollection = true;
        }
        return DavParse::Ok;
    }

    DavParse Close() {
        if (stack_.empty()) return DavParse::Malformed;
        DavParse result = DavParse::Ok;
        if (stack_.size() == 3 && Path({Tag::Response, Tag::Propstat})) {
            const int code = StatusCode(propstat_.status);
            if (code == 0) return DavParse::Malformed;
            if (code >= 200 && code < 300) {
                if (!propstat_.etag.empty()) kept_.etag = Trimmed(propstat_.etag);
                if (!propstat_.calendarData.empty()) kept_.calendarData = std::move(propstat_.calendarData);
                if (!propstat_.syncToken.empty()) out_.syncToken = Trimmed(propstat_.syncToken);
                if (propstat_.syncCollection) out_.syncCollectionReport = true;
                kept_.calendar = kept_.calendar || propstat_.calendar;
                kept_.componentsNamed = kept_.componentsNamed || propstat_.componentsNamed;
                kept_.vevent = kept_.vevent || propstat_.vevent;
                if (!propstat_.principal.empty()) kept_.principal = std::move(propstat_.principal);
                if (!propstat_.calendarHome.empty()) kept_.calendarHome = std::move(propstat_.calendarHome);
            }
        } else if (stack_.size() == 6 && Path({Tag::Propstat, Tag::Prop, Tag::CurrentUserPrincipal, Tag::Href})) {
            if (propstat_.principal.empty()) propstat_.principal = Trimmed(propstat_.href);
            propstat_.href.clear();
        } else if (stack_.size() == 6 && Path({Tag::Propstat, Tag::Prop, Tag::CalendarHomeSet, Tag::Href})) {
            if (propstat_.calendarHome.empty()) propstat_.calendarHome = Trimmed(propstat_.href);
            propstat_.href.clear();
        } else if (stack_.size() == 2 && Path({Tag::Multistatus, Tag::Response})) {
            result = EndResponse();
        } else if (stack_.size() == 2 && Path({Tag::Multistatus, Tag::SyncToken})) {
            out_.syncToken = Trimmed(out_.syncToken);
        }
        stack_.pop_back();
        return result;
    }

    DavParse EndResponse() {
        if (hrefs_.empty()) return DavParse::Malformed;
        int code = 200;
        bool gone = false;
        if (hasResponseStatus_) {
            code = StatusCode(responseStatus_);
            if (code == 507) {
                out_.truncated = true;
                return DavParse::Ok;
            }
            gone = code == 404 || code == 410;
            if (!gone && (code < 200 || code >= 300)) return DavParse::Malformed;
        } else if (hrefs_.size() != 1) {
            return DavParse::Malformed;  // properties belong to one href
        }
        for (const std::string& href : hrefs_) {
            std::string path = ServerPath(Trimmed(href), origin_);
            if (path.empty()) continue;
            DavResource resource;
            resource.href = std::move(path);
            resource.gone = gone;
            if (!gone) {
                resource.etag = kept_.etag;
                resource.calendarData = kept_.calendarData;
            }
            out_.resources.push_back(std::move(resource));
        }
        DavCollectionProps props;
        props.href = ServerPath(Trimmed(hrefs_.front()), origin_);
        props.calendar = kept_.calendar;
        props.componentsNamed = kept_.componentsNamed;
        props.vevent = kept_.vevent;
        props.principal = ServerPath(kept_.principal, origin_);
        props.calendarHome = ServerPath(kept_.calendarHome, origin_);
        if (!gone && (props.calendar || props.componentsNamed || !props.principal.empty() ||
                      !props.calendarHome.empty())) {
            out_.collections.push_back(std::move(props));
        }
        return DavParse::Ok;
    }

    // The text an element's content goes to, with its limit; null when unused.
    std::string* Target() {
        const std::size_t depth = stack_.size();
        if (depth == 3 && Path({Tag::Response, Tag::Href})) return Limit(hrefs_.back(), limits_.maxHref);
        if (depth == 3 && Path({Tag::Response, Tag::Status})) return Limit(responseStatus_, 256);
        if (depth == 2 && Path({Tag::Multistatus, Tag::SyncToken})) return Limit(out_.syncToken, limits_.maxSyncToken);
        if (depth == 4 && Path({Tag::Propstat, Tag::Status})) return Limit(propstat_.status, 256);
        if (depth == 5 && Path({Tag::Propstat, Tag::Prop, Tag::GetEtag})) return Limit(propstat_.etag, limits_.maxEtag);
        if (depth == 5 && Path({Tag::Propstat, Tag::Prop, Tag::SyncToken})) {
            return Limit(propstat_.syncToken, limits_.maxSyncToken);
        }
        if (depth == 6 && (Path({Tag::Propstat, Tag::Prop, Tag::CurrentUserPrincipal, Tag::Href}) ||
                           Path({Tag::Propstat, Tag::Prop, Tag::CalendarHomeSet, Tag::Href}))) {
            return Limit(propstat_.href, limits_.maxHref);
        }
        if (depth == 5 && Path({Tag::Propstat, Tag::Prop, Tag::CalendarData})) {
            return Limit(propstat_.calendarData, limits_.maxCalendarData);
        }
        return nullptr;
    }

    std::string* Limit(std::string& target, std::size_t limit) {
        limit_ = limit;
        return &target;
    }

    const HttpOrigin& origin_;
    const DavLimits& limits_;
    DavMultistatus& out_;
    std::vector<Tag> stack_;
    bool sawRoot_ = false;
    std::size_t responses_ = 0;
    std::vector<std::string> hrefs_;
    std::string responseStatus_;
    bool hasResponseStatus_ = false;
    Propstat propstat_;
    Propstat kept_;  // the response's properties from its 2xx propstats
    std::size_t limit_ = 0;
};

}  // namespace

DavParse ParseMultistatus(std::string_view answer, const HttpOrigin& origin, DavMultistatus& out,
                          const DavLimits& limits) {
    out = DavMultistatus();
    if (answer.size() > limits.maxBytes) return DavParse::OverLimit;
    ComPtr<IXmlReader> reader;
    if (!OpenReader(answer, reader)) return DavParse::Malformed;
    const DavParse result = MultistatusReader(origin, limits, out).Read(*reader.Get(), answer.size());
    if (result != DavParse::Ok) out = DavMultistatus();
    return result;
}

bool NamesDavPrecondition(std::string_view answer, std::string_view name, const DavLimits& limits) {
    if (answer.size() > limits.maxBytes || name.empty()) return false;
    ComPtr<IXmlReader> reader;
    if (!OpenReader(answer, reader)) return false;
    const std::wstring wide(name.begin(), name.end());
    unsigned depth = 0;
    bool rootIsError = false;
    bool named = false;
    XmlNodeType type = XmlNodeType_None;
    HRESULT hr = S_OK;
    std::size_t nodes = 0;
    while ((hr = reader->Read(&type)) == S_OK) {
        if (!Progressing(type, ++nodes, answer.size()) || type == XmlNodeType_DocumentType) return false;
        if (type == XmlNodeType_Element) {
            const bool empty = reader->IsEmptyElement() != FALSE;
            if (++depth > limits.maxDepth) return false;
            if (depth == 1) rootIsError = TagOf(*reader.Get()) == Tag::Error;
            if (depth == 2 && rootIsError) {
                const wchar_t* uri = nullptr;
                const wchar_t* local = nullptr;
                UINT uriLength = 0;
                UINT localLength = 0;
                if (SUCCEEDED(reader->GetNamespaceUri(&uri, &uriLength)) &&
                    SUCCEEDED(reader->GetLocalName(&local, &localLength)) && Is(uri, uriLength, kDav) &&
                    Is(local, localLength, wide.c_str())) {
                    named = true;
                }
            }
            if (empty) --depth;
        } else if (type == XmlNodeType_EndElement) {
            --depth;
        }
    }
    return hr == S_FALSE && named;
}
