#include "settings/cmb_dev_list.h"

#include "settings/text.h"

CCmbDevList::CCmbDevList() = default;
CCmbDevList::~CCmbDevList() = default;

void CCmbDevList::Init(const CDevPathTable* table, const std::wstring& model) {
    m_pDevPaths = table;
    m_strModel = model;
    for (bool& present : m_bPresent) present = false;
    ResetContent();
}

bool CCmbDevList::Refresh() {
    bool changed = false;
    for (int i = 0; i < CDevPathTable::kEntryCount; ++i) {
        const bool present = m_pDevPaths != nullptr && m_pDevPaths->IsPresent(i);
        if (present != m_bPresent[i]) changed = true;
        m_bPresent[i] = present;
    }
    if (!changed) return false;
    ResetContent();
    for (int i = 0; i < CDevPathTable::kEntryCount; ++i) {
        if (!m_bPresent[i]) continue;
        const std::wstring text =
            i == 0 ? m_strModel : m_strModel + settings::FormatDecimal(L"(%d)", {static_cast<int64_t>(i + 1)});
        const int item = AddString(text);
        if (item >= 0) SetItemData(item, static_cast<DWORD_PTR>(i));
    }
    return true;
}

int CCmbDevList::SelectUnit(int unit) {
    int result = -1;
    if (CDevPathTable::IsValidIndex(unit) && m_bPresent[unit]) {
        result = unit;
    } else {
        for (int i = 0; i < CDevPathTable::kEntryCount && result == -1; ++i)
            if (m_bPresent[i]) result = i;
    }
    int item = -1;
    for (int i = 0, count = GetCount(); i < count && result != -1; ++i)
        if (GetItemData(i) == static_cast<DWORD_PTR>(result)) {
            item = i;
            break;
        }
    SetCurSel(item);
    return result;
}
