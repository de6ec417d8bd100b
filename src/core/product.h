#pragma once
// The product's names, in one place. The registry paths name the product too,
// but they are a stored format and stay spelled out where they are defined.

// Caption of the program's message boxes and its main frame's title.
constexpr char kAppTitle[] = "OrvCalendar";
// The tray icon's tooltip.
constexpr char kTrayTip[] = "Orv Pell Calendar";
// The calendar window's title.
constexpr char kCalendarTitle[] = "Orv Calendar";
