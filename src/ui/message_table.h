#pragma once
#include <windows.h>

#include <cstddef>

class CWnd;

// One row of a window class's message table: a message, a command id or a
// range of command ids, bound to a member handler through a typed thunk.
struct MessageEntry {
    enum class Kind { Message, Command, CommandRange, End };
    Kind kind;
    UINT message;  // Message only
    UINT firstId;  // Command and CommandRange
    UINT lastId;
    int code;      // Command and CommandRange: the notification code, or kAnyCode
    LRESULT (*handler)(CWnd& self, WPARAM wParam, LPARAM lParam);
};

// Command rows that take every notification code a control sends.
constexpr int kAnyCode = -1;

// A class's table and the table of its base class, searched in that order.
struct MessageMap {
    const MessageMap* base;
    const MessageEntry* entries;  // ends with a Kind::End row
};

namespace message_table {

template <class T, LRESULT (T::*Handler)(WPARAM, LPARAM)>
LRESULT OnMessage(CWnd& self, WPARAM wParam, LPARAM lParam) {
    return (static_cast<T&>(self).*Handler)(wParam, lParam);
}

template <class T, void (T::*Handler)()>
LRESULT OnCommand(CWnd& self, WPARAM, LPARAM) {
    (static_cast<T&>(self).*Handler)();
    return 0;
}

template <class T, void (T::*Handler)(UINT)>
LRESULT OnCommandRange(CWnd& self, WPARAM wParam, LPARAM) {
    (static_cast<T&>(self).*Handler)(LOWORD(wParam));
    return 0;
}

}  // namespace message_table

// In the class body of every class with its own table.
#define DECLARE_MESSAGE_TABLE()                        \
public:                                                \
    static const MessageMap* GetThisMessageMap();      \
    const MessageMap* GetMessageMap() const override { \
        return GetThisMessageMap();                    \
    }                                                  \
                                                       \
private:

// In the source file:
//   BEGIN_MESSAGE_TABLE(CMyWnd, CWnd)
//       ON_MESSAGE(WM_PAINT, &CMyWnd::OnPaint)          LRESULT OnPaint(WPARAM, LPARAM)
//       ON_COMMAND(IDC_OK, &CMyWnd::OnOk)               void OnOk()
//       ON_COMMAND_RANGE(100, 120, &CMyWnd::OnPick)     void OnPick(UINT id)
//       ON_BN_CLICKED(IDC_TRY, &CMyWnd::OnTry)          void OnTry()
//   END_MESSAGE_TABLE()
// Handlers may be private: the table is built inside a member function.
#define BEGIN_MESSAGE_TABLE(theClass, baseClass)            \
    const MessageMap* theClass::GetThisMessageMap() {       \
        using ThisClass = theClass;                         \
        using BaseClass = baseClass;                        \
        static const MessageEntry entries[] = {

#define ON_MESSAGE(msg, memberFn) \
    {MessageEntry::Kind::Message, (msg), 0, 0, kAnyCode, &message_table::OnMessage<ThisClass, memberFn>},
// Menu items, accelerators and every notification of a control with this id.
#define ON_COMMAND(id, memberFn) \
    {MessageEntry::Kind::Command, 0, (id), (id), kAnyCode, &message_table::OnCommand<ThisClass, memberFn>},
#define ON_COMMAND_RANGE(firstId, lastId, memberFn) \
    {MessageEntry::Kind::CommandRange, 0, (firstId), (lastId), kAnyCode, \
     &message_table::OnCommandRange<ThisClass, memberFn>},
// One notification code of a control, or of a range of controls.
#define ON_CONTROL(notifyCode, id, memberFn) \
    {MessageEntry::Kind::Command, 0, (id), (id), (notifyCode), &message_table::OnCommand<ThisClass, memberFn>},
#define ON_CONTROL_RANGE(notifyCode, firstId, lastId, memberFn) \
    {MessageEntry::Kind::CommandRange, 0, (firstId), (lastId), (notifyCode), \
     &message_table::OnCommandRange<ThisClass, memberFn>},
#define ON_BN_CLICKED(id, memberFn) ON_CONTROL(BN_CLICKED, id, memberFn)
#define ON_BN_CLICKED_RANGE(firstId, lastId, memberFn) ON_CONTROL_RANGE(BN_CLICKED, firstId, lastId, memberFn)

#define END_MESSAGE_TABLE()                                                    \
    {MessageEntry::Kind::End, 0, 0, 0, kAnyCode, nullptr}                                \
    }                                                                          \
    ;                                                                          \
    static const MessageMap map = {BaseClass::GetThisMessageMap(), entries};  \
    return &map;                                                               \
    }
