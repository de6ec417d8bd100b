#ifndef ORV_CALENDAR_CALENDAR_IDS_H
#define ORV_CALENDAR_CALENDAR_IDS_H
/* The calendar window's messages, commands and buttons. Only preprocessor
   lines: the resource compiler reads this file too. */

#include "ui/window_messages.h"

#define WM_REGISTERDENIED (WM_USER + 57) /* accepted from outside only; lParam != 0 shows the notice */

/* Popups. */
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

/* Buttons. */
#define ID_CLOSE_BUTTON 8194
#define ID_PREV_MONTH 8195
#define ID_NEXT_MONTH 8196
#define ID_THIS_MONTH 8197

#endif
