#ifndef ORV_UPCOMING_UPCOMING_IDS_H
#define ORV_UPCOMING_UPCOMING_IDS_H
/* Tick buttons of the upcoming-events window: ID_DISMISS_FIRST + row index. */
#define ID_DISMISS_FIRST 8193
#define ID_DISMISS_LAST 8253
#endif
