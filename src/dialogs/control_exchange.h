#pragma once
// Data exchange for the editor's pickers, check boxes and drop-down lists,
// alongside DataExchange's text and numbers; nothing moves once a check failed.
#include <windows.h>

#include "dialogs/sche_repeat_model.h"
#include "ui/dialog.h"

void ExchangeDate(DataExchange& dx, HWND dialog, int id, CivilDate& date);
// A time picker as a time of day; its date part means nothing.
void ExchangeTime(DataExchange& dx, HWND dialog, int id, int& secondsOfDay);
void ExchangeCheck(DataExchange& dx, HWND dialog, int id, bool& checked);
void ExchangeListIndex(DataExchange& dx, HWND dialog, int id, int& index);

// A date picker offers only the months the local-time conversion can
// represent, so no picked date can make it fail.
void LimitToRepresentableMonths(HWND picker);
