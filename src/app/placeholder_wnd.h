#pragma once
#include <windows.h>

#include "platform/desktop.h"
#include "ui/wnd.h"

// Stands in for the calendar window until it exists:
// the right class styles, title, styles and rectangle, and the same closing
// report to the main frame. Deletes itself when its window is gone.
class CPlaceholderWnd final : public CWnd {
    DECLARE_MESSAGE_TABLE()
public:
    explicit CPlaceholderWnd(WPARAM childCode) : childCode_(childCode) {}

    bool CreateCalendar(HWND frame, const RECT& rect, bool dropShadow);

protected:
    void PostNcDestroy() override { delete this; }

private:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);

    WPARAM childCode_;
    HWND frame_ = nullptr;
};
