#pragma once
#include <windows.h>

#include <string>

#include "ui/gdi.h"
#include "ui/wnd.h"

// The small owner-drawn push button of the calendar and upcoming-events
// windows: a line glyph or a short caption in a flat black frame with a
// silver shadow. Clicks reach the parent as WM_COMMAND with the button's id.
class CCloseButton : public CWnd {
    DECLARE_MESSAGE_TABLE()
public:
    static constexpr int GlyphCross = 0;
    static constexpr int GlyphLeft = 2;
    static constexpr int GlyphRight = 3;  // also drawn for any value not listed here
    static constexpr int GlyphCaption = 5;
    static constexpr int GlyphTick = 6;
    static constexpr int GlyphClock = 7;

    // Set by the owner before Create, except where noted.
    FontHandle font;              // caption font, made on the first caption draw
    int pressed = 0;              // last pressed state drawn (transparent buttons only)
    int glyph = GlyphCross;
    std::string caption;          // also becomes the window text
    COLORREF faceColor = RGB(255, 255, 255);  // not used when transparent
    bool transparent = false;     // taken from the extended style at creation

    // A "BUTTON" child with the owner-draw style; exStyle WS_EX_TRANSPARENT
    // lets the parent's background show through.
    bool Create(HWND parent, const RECT& rect, UINT id, DWORD exStyle);

    void DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    LRESULT OnEraseBkgnd(WPARAM, LPARAM) { return 1; }
    void DrawGlyph(HDC dc, const RECT& rc);
};
