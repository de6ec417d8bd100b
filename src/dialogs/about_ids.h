#ifndef ORV_DIALOGS_ABOUT_IDS_H
#define ORV_DIALOGS_ABOUT_IDS_H
/* The About box's template and its donate button. Only preprocessor lines:
   the resource compiler reads this file too. Close is IDOK. */

#define IDD_ABOUTBOX 100
#define IDC_ABOUT_DONATE 1002

#endif
