#ifndef ORV_UI_COMMAND_IDS_H
#define ORV_UI_COMMAND_IDS_H
/* The program's private window messages, command identifiers and resource
   ids. Only preprocessor lines: the resource compiler reads this file too. */

#include <windows.h>

/* Private window messages. The program sends its own with SendMessageA. */
#define WM_TRAYNOTIFY (WM_USER + 55)      /* the shell, for the tray icon; lParam = mouse message */
#define WM_SCHEDULECHANGED (WM_USER + 56) /* wParam: a ScheduleChange (core/schedule_changes.h) */
#define WM_REGISTERDENIED (WM_USER + 57)  /* accepted from outside only; lParam != 0 shows the notice */
#define WM_CHILDCLOSED (WM_USER + 58)     /* wParam: CHILD_CALENDAR or CHILD_UPCOMING */
#define WM_EXCHANGEREPORT (WM_USER + 59)  /* posted to the frame: show the next report of a handed request */
#define WM_FINISHLOAD (WM_USER + 60)      /* the frame reads the rest of the events */

/* WM_COPYDATA to the frame from a second start with /export or /import:
   dwData is one of these, with COPYDATA_QUIET for the quiet switch; lpData
   the file's full path and its terminating zero. The frame answers
   COPYDATA_ANSWERED + the exit code, so that a frame that does not know
   the request (0) is never taken for a success. */
#define COPYDATA_ICAL_EXPORT 0x4F524901
#define COPYDATA_ICAL_IMPORT 0x4F524902
#define COPYDATA_QUIET 0x10
#define COPYDATA_ANSWERED 0x4F00
/* From a second plain start: the frame shows its calendar. No data. */
#define COPYDATA_SHOW_CALENDAR 0x4F524903

/* wParam of WM_CHILDCLOSED. */
#define CHILD_CALENDAR 2
#define CHILD_UPCOMING 6

/* Tray menu (main frame). */
#define ID_OPEN_CALENDAR 32780
#define ID_UPCOMING_EVENTS 32786
#define ID_PREFERENCES 32784
#define ID_TRAY_ABOUT 32788
#define ID_APP_EXIT 32772
#define ID_EXPORT_ICALENDAR 32850
#define ID_IMPORT_ICALENDAR 32851
/* The application's standard About command. */
#define ID_APP_ABOUT 57664

/* Calendar window popups. */
#define ID_NEW_EVENT 32774
#define ID_BROWSE_ALL 32776
#define ID_EDIT_EVENT 32777
#define ID_DELETE_EVENT 32778
#define ID_EXCLUDE_OCCURRENCE 32779
/* Per-event submenus of the day popup: ID_DAY_EVENT_BASE + 3 * i + operation
   for the i-th listed event (i = 1..20); operation 0 edit, 1 delete, 2 exclude. */
#define ID_DAY_EVENT_BASE 32780
#define ID_DAY_EVENT_FIRST 32783
#define ID_DAY_EVENT_LAST 32842
#define DAY_EVENT_MAX 20

/* Calendar window buttons. */
#define ID_CLOSE_BUTTON 8194
#define ID_PREV_MONTH 8195
#define ID_NEXT_MONTH 8196
#define ID_THIS_MONTH 8197

/* Tick buttons of the upcoming-events window: ID_DISMISS_FIRST + row index. */
#define ID_DISMISS_FIRST 8193
#define ID_DISMISS_LAST 8253

/* Resources. */
#define IDR_MAINFRAME 128 /* string: the main frame's title */
#define IDR_POPUPS 130    /* menu: tray popup, calendar background popup, calendar event popup */
#define IDI_CALENDAR 140  /* program icon */
#define IDI_TRAY 143      /* tray and calendar window icon */

/* Positions of the popups in IDR_POPUPS. */
#define POPUP_TRAY 0
#define POPUP_CALENDAR_DAY 1
#define POPUP_CALENDAR_EVENT 2

#endif
