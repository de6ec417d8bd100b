#pragma once
#include <windows.h>

#include <string>

#include "app/ical_exchange.h"

// What the user sees of an iCalendar export or import: the file dialogs of
// the tray commands and the box that reports the outcome.

// The save dialog for "Export to iCalendar..."; false when cancelled.
bool AskExportPath(HWND owner, std::string& path);
// The open dialog for "Import from iCalendar..."; false when cancelled.
bool AskImportPath(HWND owner, std::string& path);

// The outcome's message, if it has one, in a box captioned with the
// program's name: a notice after success, a warning after a failure.
void ShowExchangeOutcome(HWND owner, const ExchangeOutcome& outcome);
