#include "settings/dev_path_table.h"

#include "device/ioctl.h"
#include "device_port.h"

CDevPathTable::CDevPathTable() {
    for (int i = 0; i < kEntryCount; ++i) {
        m_entries[i].nIndex = i;
        m_entries[i].szPath[0] = L'\0';
    }
}

void CDevPathTable::Fill() {
    for (int i = 0; i < kEntryCount; ++i) {
        m_entries[i].nIndex = i;
        device::FormatDevicePathW(m_entries[i].szPath, device::kDevicePathChars, i + 1);
    }
}

HANDLE CDevPathTable::Open(int index) const {
    if (!IsValidIndex(index) || m_entries[index].szPath[0] == L'\0') return INVALID_HANDLE_VALUE;
    return DevPort_CreateFileW(m_entries[index].szPath, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED, nullptr);
}

bool CDevPathTable::IsPresent(int index) const {
    const HANDLE unit = Open(index);
    if (unit == INVALID_HANDLE_VALUE) return false;
    DevPort_CloseHandle(unit);
    return true;
}

bool CDevPathTable::IsAnyPresent() const {
    for (int i = 0; i < kEntryCount; ++i)
        if (IsPresent(i)) return true;
    return false;
}

bool CDevPathTable::SendRequest(int index, DWORD code, void* buffer, DWORD size) const {
    const HANDLE unit = Open(index);
    if (unit == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    const BOOL ok = DevPort_DeviceIoControl(unit, code, buffer, size, buffer, size, &returned, nullptr);
    DevPort_CloseHandle(unit);
    return ok != FALSE;
}

bool CDevPathTable::GetSettings(DRV_SETTINGS_BUFFER& buffer) const {
    for (int i = 0; i < kEntryCount; ++i) {
        if (!IsPresent(i)) continue;
        // Each unit gets the preset record; a failed answer never reaches the caller.
        DRV_SETTINGS_BUFFER answer = buffer;
        if (SendRequest(i, IOCTL_GET_SETTINGS, &answer, sizeof answer)) {
            buffer = answer;
            return true;
        }
    }
    return false;
}

bool CDevPathTable::SetSettings(DRV_SETTINGS_BUFFER& buffer) const {
    bool anyAnswered = false;
    bool restartApplications = false;
    bool powerCycle = false;
    for (int i = 0; i < kEntryCount; ++i) {
        if (!IsPresent(i)) continue;
        // Every unit gets the edited record itself, not the answer of the unit
        // before it (the answer comes back in the same buffer).
        DRV_SETTINGS_BUFFER request = buffer;
        request.nResult = 0;
        if (!SendRequest(i, IOCTL_SET_SETTINGS, &request, sizeof request)) continue;
        anyAnswered = true;
        if (request.nResult == 2 || request.nResult == 3) powerCycle = true;
        if (request.nResult == 1) restartApplications = true;
    }
    buffer.nResult = powerCycle ? 2u : restartApplications ? 1u : 0u;
    return anyAnswered;
}

bool CDevPathTable::IsBusy() const {
    for (int i = 0; i < kEntryCount; ++i) {
        if (!IsPresent(i)) continue;
        uint32_t inUse = 0;
        if (SendRequest(i, IOCTL_GET_IN_USE, &inUse, sizeof inUse) && inUse != 0) return true;
    }
    return false;
}

bool CDevPathTable::GetActiveRate(uint32_t& rate) const {
    for (int i = 0; i < kEntryCount; ++i) {
        STREAM_STATUS_REQ status{};
        if (SendRequest(i, IOCTL_GET_STREAM_STATUS, &status, sizeof status) && status.bStreaming != 0) {
            rate = status.nRate;
            return true;
        }
    }
    return false;
}

bool CDevPathTable::GetUnitRate(uint32_t& rate) const {
    for (int i = 0; i < kEntryCount; ++i) {
        // Only the arrival of the identity matters; nothing in it is read.
        UNIT_ID identity{};
        if (!SendRequest(i, IOCTL_GET_UNIT_ID, &identity, sizeof identity)) continue;
        RATE_REQ unitRate{};
        if (SendRequest(i, IOCTL_GET_UNIT_RATE, &unitRate, sizeof unitRate)) {
            rate = unitRate.nRate;
            return true;
        }
    }
    return false;
}
