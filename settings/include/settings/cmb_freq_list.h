// The sample-rate list (control 1130 of the main dialog): the rates of kRateList
// that the selected unit supports, each item carrying its rate in Hz.
#pragma once

#include <cstdint>

#include "settings/dev_path_table.h"
#include "ui/controls.h"

inline constexpr uint32_t kRateList[] = {44100, 48000, 88200, 96000, 176400, 192000, 352800};
inline constexpr int kRateCount = sizeof(kRateList) / sizeof(kRateList[0]);

class CCmbFreqList : public CComboBox {
public:
    CCmbFreqList();
    ~CCmbFreqList() override;

    // Stores the table, clears every supported flag and forgets the unit.
    void Init(const CDevPathTable* table);

    // Asks unit `unit` which rates of kRateList it supports; rebuilds the list
    // when that set changed and returns true, otherwise leaves the list, its
    // selection and an open drop-down alone and returns false.
    bool Refill(int unit);

    // Selects the first item of `rate`, or clears the selection when there is
    // none; does nothing when that item is already selected.
    void SelectRate(uint32_t rate);

    const CDevPathTable* m_pDevPaths = nullptr;
    uint32_t m_bRateSupported[kRateCount] = {};
    int m_nUnit = -1;
};
