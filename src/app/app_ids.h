#ifndef ORV_APP_APP_IDS_H
#define ORV_APP_APP_IDS_H
/* The application's own messages, requests and commands. Only preprocessor
   lines: the resource compiler reads this file too. */

#include "ui/window_messages.h"

#define WM_TRAYNOTIFY (WM_USER + 55)     /* the shell, for the tray icon; lParam = mouse message */
#define WM_EXCHANGEREPORT (WM_USER + 59) /* posted to the frame: show the next report of a handed request */
#define WM_FINISHLOAD (WM_USER + 60)     /* the frame reads the rest of the events */
#define WM_SYNCDONE (WM_USER + 61)       /* posted to the frame by the sync worker: take its outcome in */

/* WM_COPYDATA to the frame from a second start with /export or /import:
   dwData is one of these, with COPYDATA_QUIET for the quiet switch; lpData
   the file's full path and its terminating zero. The frame answers
   COPYDATA_ANSWERED + the exit code, so that a frame that does not know
   the request (0) is never taken for a success. */
#define COPYDATA_ICAL_EXPORT 0x4F524901
#define COPYDATA_ICAL_IMPORT 0x4F524902
#define COPYDATA_QUIET 0x10
/* With COPYDATA_WIDE lpData is the path in UTF-16 with one terminating zero;
   without it, in the sender's ANSI code page (older copies send that). */
#define COPYDATA_WIDE 0x20
#define COPYDATA_ANSWERED 0x4F00
/* From a second plain start: the frame shows its calendar. No data. */
#define COPYDATA_SHOW_CALENDAR 0x4F524903
/* From a second start with /sync: the frame syncs and answers when done
   (COPYDATA_ANSWERED + the exit code). No data. */
#define COPYDATA_SYNC 0x4F524904

/* Tray menu. */
#define ID_OPEN_CALENDAR 32780
#define ID_UPCOMING_EVENTS 32786
#define ID_PREFERENCES 32784
#define ID_TRAY_ABOUT 32788
#define ID_APP_EXIT 32772
#define ID_EXPORT_ICALENDAR 32850
#define ID_IMPORT_ICALENDAR 32851
#define ID_SYNC_NOW 32852 /* only while sync is set up */
/* The application's standard About command. */
#define ID_APP_ABOUT 57664

/* Resources. */
#define IDR_MAINFRAME 128 /* string: the main frame's title */
#define IDI_CALENDAR 140  /* program icon */

#endif
