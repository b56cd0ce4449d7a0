#include "ui/cmdtarget.h"

#include "ui/wnd.h"

const ui::MessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const ui::MessageMap* CCmdTarget::GetThisMessageMap() {
    static const ui::MessageMapEntry entries[] = {ui::EndEntry()};
    static const ui::MessageMap map = {nullptr, entries};
    return &map;
}

bool CCmdTarget::DispatchMessageMap(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const ui::MessageMap* map = GetMessageMap(); map != nullptr; map = map->getBase ? map->getBase() : nullptr) {
        for (const ui::MessageMapEntry* entry = map->entries; entry->kind != ui::HandlerKind::End; ++entry) {
            switch (entry->kind) {
            case ui::HandlerKind::Command:
                if (message == WM_COMMAND && entry->code == HIWORD(wParam) && entry->id == LOWORD(wParam)) {
                    (this->*entry->onCommand)();
                    return true;
                }
                break;
            case ui::HandlerKind::Timer:
                if (message == WM_TIMER) {
                    (this->*entry->onTimer)(static_cast<UINT_PTR>(wParam));
                    return true;
                }
                break;
            case ui::HandlerKind::HScroll:
                if (message == WM_HSCROLL) {
                    CScrollBar source(reinterpret_cast<HWND>(lParam));
                    (this->*entry->onHScroll)(LOWORD(wParam), HIWORD(wParam), &source);
                    return true;
                }
                break;
            case ui::HandlerKind::End:
                break;
            }
        }
    }
    return false;
}
