#include "sync/sync_status.h"

#include <algorithm>

#include "store/event_store.h"

namespace {

const char* ProblemText(DavProblem problem) {
    switch (problem) {
        case DavProblem::None:
        case DavProblem::NoCalendar:
        case DavProblem::Answered:
            break;
        case DavProblem::NoSuchHost:
            return " No server has that name.";
        case DavProblem::NoConnection:
            return " It refused the connection or there is no network.";
        case DavProblem::TimedOut:
            return " It did not answer in time.";
        case DavProblem::Secure:
            return " A secure connection could not be made (the certificate was refused).";
    }
    return "";
}

std::string Events(int n) { return std::to_string(n) + (n == 1 ? " event" : " events"); }

constexpr std::size_t kMaxNamed = 3;

// "\"A\", \"B\" and 2 more"; an event without a title is counted in the more.
std::string Named(const std::vector<std::string>& titles) {
    std::string text;
    std::size_t named = 0;
    for (const std::string& t : titles) {
        if (t.empty() || named == kMaxNamed) continue;
        if (named++ > 0) text += ", ";
        text.append("\"").append(t).append("\"");
    }
    const std::size_t more = titles.size() - named;
    if (named == 0) return Events(static_cast<int>(more));
    if (more > 0) text.append(" and ").append(std::to_string(more)).append(" more");
    return text;
}

// "the server answered 503: Service Unavailable"
std::string Answer(const DavAnswer& a) {
    std::string text = "the server answered " + std::to_string(a.code);
    if (!a.reason.empty()) text.append(": ").append(a.reason);
    return text;
}

std::string Ended(const SyncResult& r, std::string_view retryTime) {
    switch (r.end) {
        case SyncEnd::Unreachable:
            if (r.problem == DavProblem::NoCalendar) return "The server has no calendar at that address.";
            if (r.problem == DavProblem::Answered) {
                std::string text = Answer(r.answer);
                text[0] = 'T';
                if (!retryTime.empty() && RetryDelaySeconds(r) >= 0)
                    text.append("; trying again at ").append(retryTime);
                return text + ".";
            }
            return std::string("Could not reach the server.").append(ProblemText(r.problem));
        case SyncEnd::CredentialsRefused:
            return "The server refused the user name or password.";
        case SyncEnd::NotSetUp:
        case SyncEnd::Done:
            break;
    }
    return "Sync is not set up.";
}

}  // namespace

int SyncExitCode(SyncEnd end) {
    switch (end) {
        case SyncEnd::Done:
            return 0;
        case SyncEnd::Unreachable:
            return 7;
        case SyncEnd::CredentialsRefused:
            return 8;
        case SyncEnd::NotSetUp:
            return 9;
    }
    return 7;
}

long long RetryDelaySeconds(const SyncResult& r) {
    long long wait = r.end == SyncEnd::Unreachable && r.problem == DavProblem::Answered ? r.answer.retryAfter : -1;
    if (wait < 0) return -1;
    return std::clamp(wait, 60LL, 24LL * 3600);
}

std::string SyncStatusText(const SyncResult& r, std::string_view time, std::string_view retryTime) {
    if (r.end != SyncEnd::Done) {
        // Not set up, nothing was tried; without a time, the reason alone.
        if (time.empty() || r.end == SyncEnd::NotSetUp) return Ended(r, retryTime);
        return std::string("Sync at ").append(time).append(": ").append(Ended(r, retryTime));
    }
    std::string text = "Last synced ";
    text.append(time).append(": ").append(std::to_string(r.received)).append(" received, ");
    text.append(std::to_string(r.sent)).append(" sent.");
    if (r.conflicts > 0) {
        text.append(" ").append(Events(r.conflicts));
        text.append(" changed on both sides: the server's version is shown, yours kept as a \"(conflict)\" copy.");
    }
    if (r.leftOut > 0) {
        text.append(" ").append(Events(r.leftOut)).append(" left out: the calendar holds at most ");
        text.append(std::to_string(kMaxEvents)).append(", those nearest to today came in.");
    }
    if (!r.readOnly.empty()) {
        text.append(" ").append(Named(r.readOnly));
        text.append(r.readOnly.size() == 1 ? " is" : " are").append(" read-only on the server: ");
        text.append(r.readOnly.size() == 1 ? "the change made here was" : "the changes made here were");
        text.append(" undone.");
    }
    // Each refusal the server gave a reason for is told with it, the rest counted.
    int told = 0;
    for (const RefusedEvent& e : r.refused) {
        if (e.answer.code == 0 || told == static_cast<int>(kMaxNamed)) continue;
        text.append(" ").append(e.title.empty() ? std::string("A deletion") : "\"" + e.title + "\"");
        text.append(" was refused: ").append(Answer(e.answer)).append(".");
        ++told;
    }
    if (told > 0 && r.failed > told) {
        text.append(" ").append(std::to_string(r.failed - told)).append(" more could not be synced;");
        text.append(" all will be tried again.");
    } else if (told > 0) {
        text.append(told == 1 ? " It will" : " They will").append(" be tried again.");
    } else if (r.failed > 0) {
        text.append(" ").append(Events(r.failed)).append(" could not be synced and will be tried again.");
    }
    return text;
}
