#include <cstddef>

#include "core/calendar.h"
#include "platform/dav_types.h"

namespace {

constexpr std::size_t kMaxReason = 60;
// A longer wait reads as this: the next sync is tried within a day whatever the server says.
constexpr long long kMaxRetryAfter = 24 * 3600;

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// "Sun, 06 Nov 1994 08:49:37 GMT", the one form a server may send.
bool HttpDate(std::string_view text, long long& seconds) {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (text.size() != 29 || text.substr(3, 2) != ", " || text[7] != ' ' || text[11] != ' ' || text[16] != ' ' ||
        text[19] != ':' || text[22] != ':' || text.substr(25) != " GMT")
        return false;
    int month = 0;
    while (month < 12 && text.substr(8, 3) != kMonths[month]) ++month;
    int day = 0, year = 0, hour = 0, minute = 0, second = 0;
    if (month == 12 || !Digits(text, 5, 2, day) || !Digits(text, 12, 4, year) || !Digits(text, 17, 2, hour) ||
        !Digits(text, 20, 2, minute) || !Digits(text, 23, 2, second) || day < 1 || day > 31 || hour > 23 ||
        minute > 59 || second > 60)
        return false;
    seconds = DaysFromCivil(year, month + 1, day) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

}  // namespace

DavStatus DavStatusOf(int code) {
    if (code >= 200 && code < 300) return DavStatus::Ok;
    switch (code) {
        case 401:
            return DavStatus::Unauthorized;
        case 403:
        case 405:
            return DavStatus::Forbidden;
        case 412:
            return DavStatus::PreconditionFailed;
        case 404:
        case 410:
            return DavStatus::NotFound;
        default:
            return DavStatus::Refused;
    }
}

long long RetryAfterSeconds(std::string_view value, long long now) {
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
    if (value.empty()) return -1;
    if (value.front() >= '0' && value.front() <= '9') {
        long long seconds = 0;
        for (const char c : value) {
            if (c < '0' || c > '9') return -1;
            if (seconds < kMaxRetryAfter) seconds = seconds * 10 + (c - '0');
        }
        return seconds < kMaxRetryAfter ? seconds : kMaxRetryAfter;
    }
    long long at = 0;
    if (!HttpDate(value, at)) return -1;
    if (at <= now) return 0;
    return at - now < kMaxRetryAfter ? at - now : kMaxRetryAfter;
}

std::string ShownReason(std::string_view reason) {
    std::string shown;
    for (const char c : reason) {
        if (shown.size() == kMaxReason) break;
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F) shown += c;
    }
    while (!shown.empty() && shown.back() == ' ') shown.pop_back();
    return shown;
}
