#ifndef ORV_UI_WINDOW_MESSAGES_H
#define ORV_UI_WINDOW_MESSAGES_H
/* What the program's windows of every layer tell one another, and the
   resources they share. Only preprocessor lines: the resource compiler reads
   this file too. */

#include <windows.h>

/* The program sends its own with SendMessageA. */
#define WM_SCHEDULECHANGED (WM_USER + 56) /* wParam: a ScheduleChange (core/schedule_changes.h) */
#define WM_CHILDCLOSED (WM_USER + 58)     /* wParam: CHILD_CALENDAR or CHILD_UPCOMING */

/* wParam of WM_CHILDCLOSED. */
#define CHILD_CALENDAR 2
#define CHILD_UPCOMING 6

/* Resources of the program's module that several windows load. */
#define IDR_POPUPS 130 /* menu: tray popup, calendar background popup, calendar event popup */
#define IDI_TRAY 143   /* tray and calendar window icon */

/* Positions of the popups in IDR_POPUPS. */
#define POPUP_TRAY 0
#define POPUP_CALENDAR_DAY 1
#define POPUP_CALENDAR_EVENT 2

#endif
