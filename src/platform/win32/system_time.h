#pragma once
#include <windows.h>

// A civil date and time as the date and time pickers and the locale's
// formatting calls take it. The weekday is worked out from the date; fields
// are passed on unchecked.
SYSTEMTIME MakeSystemTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// A time of day on 1 January 2000; seconds outside one day wrap into it.
SYSTEMTIME SystemTimeOfDay(int secondsOfDay);
