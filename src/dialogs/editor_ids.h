#ifndef ORV_DIALOGS_EDITOR_IDS_H
#define ORV_DIALOGS_EDITOR_IDS_H
/* Templates and control ids of the event editor and the recurrence dialog.
   Only preprocessor lines: the resource compiler reads this file too. */

#define IDD_SCHEDULE 132    /* "New Event" */
#define IDD_SCHE_REPEAT 133 /* "Event Recurrence" */

/* Event editor. */
#define IDC_LAUNCH_CHECK 1000
#define IDC_SOUND_BROWSE 1002
#define IDC_LAUNCH_BROWSE 1004
#define IDC_SOUND_LIST 1009
#define IDC_LAUNCH_LIST 1010
#define IDC_SOUND_CHECK 1034
#define IDC_NOTE 1039
#define IDC_START_TIME 1041
#define IDC_END_TIME 1042
#define IDC_TITLE 1043
#define IDC_REMIND_MINUTES 1045
#define IDC_REMIND_SPIN 1046
#define IDC_RECUR_SETTINGS 1060
#define IDC_RECUR_TEXT 1061

/* Both: the date range. */
#define IDC_START_DATE 1036
#define IDC_END_DATE 1037

/* Recurrence dialog. */
#define IDC_INTERVAL 1013
#define IDC_INTERVAL_SPIN 1014
#define IDC_NTH_LIST 1018
#define IDC_WEEKDAY_LIST 1019
#define IDC_MONTH_LIST 1020
#define IDC_INTERVAL_UNIT 1024
#define IDC_KIND_NONE 1025
#define IDC_KIND_DAILY 1026
#define IDC_KIND_WEEKLY 1027
#define IDC_KIND_MONTHLY 1028
#define IDC_KIND_YEARLY 1029
#define IDC_BY_DAY 1030
#define IDC_BY_NTH 1031
#define IDC_EVERY_LABEL 1032
#define IDC_MONDAY 1067 /* Monday..Saturday are 1067..1072 */
#define IDC_SATURDAY 1072
#define IDC_SUNDAY 1073
#define IDC_DAY 1077
#define IDC_DAY_SPIN 1078
#define IDC_NO_END_DATE 1085

#endif
