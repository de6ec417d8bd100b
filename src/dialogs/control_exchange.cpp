#include "dialogs/control_exchange.h"

#include <commctrl.h>

#include "core/calendar.h"
#include "core/schedule_item.h"
#include "platform/win32/system_time.h"

void ExchangeDate(DataExchange& dx, HWND dialog, int id, CivilDate& date) {
    if (dx.Failed()) return;
    HWND picker = GetDlgItem(dialog, id);
    if (dx.Saving()) {
        SYSTEMTIME st = {};
        if (DateTime_GetSystemtime(picker, &st) == GDT_VALID) date = {st.wYear, st.wMonth, st.wDay};
    } else {
        SYSTEMTIME st = MakeSystemTime(date.year, date.month, date.day);
        DateTime_SetSystemtime(picker, GDT_VALID, &st);
    }
}

void ExchangeTime(DataExchange& dx, HWND dialog, int id, int& secondsOfDay) {
    if (dx.Failed()) return;
    HWND picker = GetDlgItem(dialog, id);
    if (dx.Saving()) {
        SYSTEMTIME st = {};
        if (DateTime_GetSystemtime(picker, &st) == GDT_VALID) {
            secondsOfDay = st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
        }
    } else {
        SYSTEMTIME st = SystemTimeOfDay(secondsOfDay);
        DateTime_SetSystemtime(picker, GDT_VALID, &st);
    }
}

void ExchangeCheck(DataExchange& dx, HWND dialog, int id, bool& checked) {
    if (dx.Failed()) return;
    if (dx.Saving()) {
        checked = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
    } else {
        CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }
}

void ExchangeListIndex(DataExchange& dx, HWND dialog, int id, int& index) {
    if (dx.Failed()) return;
    if (dx.Saving()) {
        index = static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
    } else {
        SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void LimitToRepresentableMonths(HWND picker) {
    int firstYear = 0;
    int firstMonth = 0;
    int lastYear = 0;
    int lastMonth = 0;
    RepresentableMonths(firstYear, firstMonth, lastYear, lastMonth);
    // Nor later than the stored date fields hold.
    if (lastYear * 12 + lastMonth > kLastStorableYear * 12 + kLastStorableMonth) {
        lastYear = kLastStorableYear;
        lastMonth = kLastStorableMonth;
    }
    SYSTEMTIME range[2] = {MakeSystemTime(firstYear, firstMonth, 1),
                           MakeSystemTime(lastYear, lastMonth, DaysInMonth(lastYear, lastMonth), 23, 59, 59)};
    DateTime_SetRange(picker, GDTR_MIN | GDTR_MAX, range);
}
