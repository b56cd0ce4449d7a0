// Message maps: a class lists the window messages and notifications it handles
// in a static table, searched from the most derived class to its bases, so a
// dialog states its handlers in one place.
#pragma once

#include "ui/wintypes.h"

class CCmdTarget;
class CScrollBar;

namespace ui {

enum class HandlerKind { End, Command, Timer, HScroll };

typedef void (CCmdTarget::*CommandHandler)();
typedef void (CCmdTarget::*TimerHandler)(UINT_PTR);
typedef void (CCmdTarget::*HScrollHandler)(UINT, UINT, CScrollBar*);

struct MessageMapEntry {
    HandlerKind kind;
    UINT code;  // notification code of a WM_COMMAND entry
    UINT id;    // control or command id of a WM_COMMAND entry
    CommandHandler onCommand;
    TimerHandler onTimer;
    HScrollHandler onHScroll;
};

struct MessageMap {
    const MessageMap* (*getBase)();  // null for the root
    const MessageMapEntry* entries;  // ends with a HandlerKind::End entry
};

constexpr MessageMapEntry CommandEntry(UINT code, UINT id, CommandHandler handler) {
    return {HandlerKind::Command, code, id, handler, nullptr, nullptr};
}
constexpr MessageMapEntry TimerEntry(TimerHandler handler) {
    return {HandlerKind::Timer, 0, 0, nullptr, handler, nullptr};
}
constexpr MessageMapEntry HScrollEntry(HScrollHandler handler) {
    return {HandlerKind::HScroll, 0, 0, nullptr, nullptr, handler};
}
constexpr MessageMapEntry EndEntry() { return {HandlerKind::End, 0, 0, nullptr, nullptr, nullptr}; }

}  // namespace ui

// The root of every class with a message map.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    virtual const ui::MessageMap* GetMessageMap() const;

protected:
    static const ui::MessageMap* GetThisMessageMap();

    // Calls the handler the maps give for a message; false when none does.
    bool DispatchMessageMap(UINT message, WPARAM wParam, LPARAM lParam);
};

#define DECLARE_MESSAGE_MAP()                           \
protected:                                              \
    static const ui::MessageMap* GetThisMessageMap();   \
    const ui::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                    \
    const ui::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }         \
    const ui::MessageMap* theClass::GetThisMessageMap() {                                         \
        typedef baseClass TheBaseClass;                                                           \
        static const ui::MessageMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                                         \
    ui::EndEntry()                                                                                \
    }                                                                                             \
    ;                                                                                             \
    static const ui::MessageMap map = {&TheBaseClass::GetThisMessageMap, entries};                \
    return &map;                                                                                  \
    }

#define ON_COMMAND(id, memberFxn) ui::CommandEntry(BN_CLICKED, (id), static_cast<ui::CommandHandler>(memberFxn)),
#define ON_BN_CLICKED(id, memberFxn) ui::CommandEntry(BN_CLICKED, (id), static_cast<ui::CommandHandler>(memberFxn)),
#define ON_CBN_SELCHANGE(id, memberFxn) \
    ui::CommandEntry(CBN_SELCHANGE, (id), static_cast<ui::CommandHandler>(memberFxn)),
#define ON_CBN_DROPDOWN(id, memberFxn) ui::CommandEntry(CBN_DROPDOWN, (id), static_cast<ui::CommandHandler>(memberFxn)),
#define ON_CBN_CLOSEUP(id, memberFxn) ui::CommandEntry(CBN_CLOSEUP, (id), static_cast<ui::CommandHandler>(memberFxn)),
#define ON_WM_TIMER(memberFxn) ui::TimerEntry(static_cast<ui::TimerHandler>(memberFxn)),
#define ON_WM_HSCROLL(memberFxn) ui::HScrollEntry(static_cast<ui::HScrollHandler>(memberFxn)),
