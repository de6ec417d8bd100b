#ifndef ORV_DIALOGS_BROWSER_IDS_H
#define ORV_DIALOGS_BROWSER_IDS_H
/* The event browser's template and controls. Only preprocessor lines: the
   resource compiler reads this file too. */

#define IDD_SCHE_BROWSER 103
#define IDC_BROWSER_LIST 1033
#define IDC_BROWSER_EDIT 1002
#define IDC_BROWSER_DELETE 1004
/* The Close button is IDCANCEL. */

#endif
