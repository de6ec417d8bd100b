#pragma once

// Gives back the pages of the calling thread's stack below what it uses:
// Wine touches the whole megabyte of every new thread's stack when the
// thread starts, and a thread that reads a few registry values needs a few
// kilobytes of it. On Windows only the pages already committed below the
// stack pointer are concerned, and they are few.
void ReleaseUnusedStack();
