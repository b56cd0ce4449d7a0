// The unit list (control 1136 of the main dialog): one item per present unit,
// each carrying its unit index.
#pragma once

#include <string>

#include "settings/dev_path_table.h"
#include "ui/controls.h"

class CCmbDevList : public CComboBox {
public:
    CCmbDevList();
    ~CCmbDevList() override;

    // Stores the table and the model name and clears the presence flags. The
    // list is emptied too: until the first rebuild it holds nothing rather than
    // the template's placeholder units.
    void Init(const CDevPathTable* table, const std::wstring& model);

    // Probes units 1 to 4. When any presence flag changed, rebuilds the list (unit
    // 1 as the model name, units 2 to 4 as the model name and "(n)") and returns
    // true; otherwise leaves the list and its selection alone and returns false.
    bool Refresh();

    // `unit` when it is 0..3 and present, else the lowest present unit, else -1;
    // selects the item of the result (nothing when none matches).
    int SelectUnit(int unit);

    const CDevPathTable* m_pDevPaths = nullptr;
    std::wstring m_strModel;
    bool m_bPresent[CDevPathTable::kEntryCount] = {};
};
