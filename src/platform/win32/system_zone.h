#pragma once

// The C runtime takes its zone from TZ when that is set, in its own syntax;
// a TZ left by a Unix-like shell (a terminal starting Wine, a build tool)
// makes it misread the zone. The user's zone is the system's: call before
// any time function runs.
void UseSystemTimeZone();
