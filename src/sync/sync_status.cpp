#include "sync/sync_status.h"

#include "store/event_store.h"

namespace {

const char* ProblemText(DavProblem problem) {
    switch (problem) {
        case DavProblem::None:
        case DavProblem::NoCalendar:
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

std::string SyncStatusText(const SyncResult& r, std::string_view time) {
    switch (r.end) {
        case SyncEnd::Unreachable:
            if (r.problem == DavProblem::NoCalendar) return "The server has no calendar at that address.";
            return std::string("Could not reach the server.").append(ProblemText(r.problem));
        case SyncEnd::CredentialsRefused:
            return "The server refused the user name or password.";
        case SyncEnd::NotSetUp:
            return "Sync is not set up.";
        case SyncEnd::Done:
            break;
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
    if (r.failed > 0) text.append(" ").append(Events(r.failed)).append(" could not be synced and will be tried again.");
    return text;
}
