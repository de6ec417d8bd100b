#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/dav_types.h"

// How a sync ended; the command line's exit code follows it.
enum class SyncEnd { Done, Unreachable, CredentialsRefused, NotSetUp };

// 0 done, 7 unreachable, 8 credentials refused, 9 not set up.
int SyncExitCode(SyncEnd end);

// An event the server would not take, and what it answered.
struct RefusedEvent {
    std::string title;
    DavAnswer answer;  // code 0: refused here, before it was sent
};

// What one sync did, for the status line.
struct SyncResult {
    SyncEnd end = SyncEnd::Done;
    DavProblem problem = DavProblem::None;  // when Unreachable, what the transport saw
    int received = 0;   // events made, changed or deleted here from the server
    int sent = 0;       // copies put on or deleted from the server
    int conflicts = 0;  // changed on both sides: a "(conflict)" copy was made here
    int leftOut = 0;    // the server's events the calendar had no room for
    int failed = 0;     // events the server refused or sent unreadable; tried again next time
    std::vector<RefusedEvent> refused;  // those of failed the server refused, with its answer
    // Titles of events changed here that are not this user's to change on
    // the server (a calendar shared read-only): the server's version is back.
    std::vector<std::string> readOnly;
    DavAnswer answer;  // when problem is Answered: the answer the sync could not go on after
};

// Seconds until the sync is tried again as the server asked (Retry-After),
// kept within a minute and a day; -1 when it did not ask.
long long RetryDelaySeconds(const SyncResult& result);

// "Last synced 14:05: 3 received, 1 sent." and a sentence for each thing
// the user should know, or why the sync ended ("Sync at 14:05: ...");
// `time` is the time of day as the locale writes it (none: the line has
// none), retryTime that of RetryDelaySeconds from now.
std::string SyncStatusText(const SyncResult& result, std::string_view time, std::string_view retryTime = {});
