#ifndef ORV_UPCOMING_UPCOMING_IDS_H
#define ORV_UPCOMING_UPCOMING_IDS_H
/* Tick buttons of the upcoming-events window: ID_DISMISS_FIRST + row index. */
#define ID_DISMISS_FIRST 8193
#define ID_DISMISS_LAST 8253
/* Its snooze buttons: ID_SNOOZE_FIRST + row index. */
#define ID_SNOOZE_FIRST 8257
#define ID_SNOOZE_LAST 8317
/* The snooze menu: 5, 10, 15, 30 minutes, 1 hour, 2 hours, tomorrow. */
#define ID_SNOOZE_5_MINUTES 32900
#define ID_SNOOZE_10_MINUTES 32901
#define ID_SNOOZE_15_MINUTES 32902
#define ID_SNOOZE_30_MINUTES 32903
#define ID_SNOOZE_1_HOUR 32904
#define ID_SNOOZE_2_HOURS 32905
#define ID_SNOOZE_TOMORROW 32906
#endif
