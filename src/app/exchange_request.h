#pragma once
#include <windows.h>

#include <string>

#include "app/command_line.h"
#include "platform/registry.h"
#include "store/app_values.h"

// An export or import asked for on the command line: handed to the copy of
// the program that runs already, or done here without any window.

// The request as WM_COPYDATA carries it from a second start to the frame.
struct ExchangeRequest {
    bool import = false;
    bool quiet = false;
    std::string path;
};

// What another process sent; false unless it is a well-formed request.
bool ReadExchangeRequest(const COPYDATASTRUCT& data, ExchangeRequest& out);

// Sends the request to the running copy's frame and returns the exit code
// the frame answers with. frameClass: the frame's window class.
int HandToRunningCopy(const CommandLineRequest& request, const wchar_t* frameClass);

// A second plain start: the running copy shows its calendar. False when
// no copy answers.
bool ShowRunningCopy(const wchar_t* frameClass);

// Loads the events and does the work with no window, no tray icon and no
// reminder; returns the exit code.
int RunWithoutWindows(Registry& registry, const AppValues& values, const CommandLineRequest& request);

// A message for whoever started the program, on its standard output (after
// success) or error, when it has one.
void TellCaller(const std::string& message, bool failed);
