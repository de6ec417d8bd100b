#pragma once
#include <string>
#include <string_view>

#include "platform/dav_types.h"

// How a sync ended; the command line's exit code follows it.
enum class SyncEnd { Done, Unreachable, CredentialsRefused, NotSetUp };

// 0 done, 7 unreachable, 8 credentials refused, 9 not set up.
int SyncExitCode(SyncEnd end);

// What one sync did, for the status line.
struct SyncResult {
    SyncEnd end = SyncEnd::Done;
    DavProblem problem = DavProblem::None;  // when Unreachable, what the transport saw
    int received = 0;   // events made, changed or deleted here from the server
    int sent = 0;       // copies put on or deleted from the server
    int conflicts = 0;  // changed on both sides: a "(conflict)" copy was made here
    int leftOut = 0;    // the server's events the calendar had no room for
    int failed = 0;     // events the server refused or sent unreadable; tried again next time
};

// "Last synced 14:05: 3 received, 1 sent." and a sentence for each thing
// the user should know; `time` is the time of day as the locale writes it.
std::string SyncStatusText(const SyncResult& result, std::string_view time);
