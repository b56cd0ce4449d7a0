#include "settings/cmb_freq_list.h"

#include "device/ioctl.h"
#include "settings/text.h"

CCmbFreqList::CCmbFreqList() = default;
CCmbFreqList::~CCmbFreqList() = default;

void CCmbFreqList::Init(const CDevPathTable* table) {
    m_pDevPaths = table;
    for (uint32_t& flag : m_bRateSupported) flag = 0;
    m_nUnit = -1;
}

bool CCmbFreqList::Refill(int unit) {
    m_nUnit = unit;
    bool changed = false;
    for (int i = 0; i < kRateCount; ++i) {
        uint32_t supported = 0;
        if (m_pDevPaths != nullptr && CDevPathTable::IsValidIndex(m_nUnit)) {
            RATE_FLAG_REQ query{0, kRateList[i], 0};
            if (m_pDevPaths->SendRequest(m_nUnit, IOCTL_CHECK_RATE, &query, sizeof query)) supported = query.nFlag;
        }
        if (supported != m_bRateSupported[i]) changed = true;
        m_bRateSupported[i] = supported;
    }
    if (!changed) return false;
    ResetContent();
    for (int i = 0; i < kRateCount; ++i) {
        if (m_bRateSupported[i] == 0) continue;
        // The same in every language: the rate right-aligned in six places.
        const int item = AddString(settings::FormatDecimal(L"%6d Hz", {kRateList[i]}));
        if (item >= 0) SetItemData(item, kRateList[i]);
    }
    return true;
}

void CCmbFreqList::SelectRate(uint32_t rate) {
    const int selected = GetCurSel();
    if (selected != CB_ERR && GetItemData(selected) == rate) return;
    int item = -1;
    for (int i = 0, count = GetCount(); i < count; ++i)
        if (GetItemData(i) == rate) {
            item = i;
            break;
        }
    SetCurSel(item);
}
