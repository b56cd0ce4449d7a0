// CDevOne: the period handshake with the kernel driver and the ring copies.
//
// The kernel driver advances devPeriod (and sets devState when its stream ends);
// we advance usrPeriod and the read and write offsets. Every offset read back
// from the shared header is checked against the ring length recorded when the
// block was made, so a header the kernel driver scribbled on cannot move a copy
// outside the block.
#include <algorithm>
#include <cstring>

#include "dev_one.h"
#include "device/ioctl.h"
#include "device/ring.h"
#include "shared_words.h"

namespace {

// Advances a ring offset by one period, wrapping at the ring's end. An offset
// that was already outside the ring is brought back inside it.
void AdvanceOffset(uint32_t& pos, uint32_t& wraps, uint32_t periodBytes, uint32_t ringLen) {
    if (ringLen == 0) return;
    uint64_t next = static_cast<uint64_t>(LoadWord(pos)) + periodBytes;
    if (next >= ringLen) {
        next -= ringLen;
        StoreWord(wraps, LoadWord(wraps) + 1);
        if (next >= ringLen) next %= ringLen;
    }
    StoreWord(pos, static_cast<uint32_t>(next));
}

}  // namespace

bool CDevOne::CopyAllowed() const {
    return IsOpen() && m_bActive && m_pRing != nullptr && LoadWord(m_pRing->devState) != 1 &&
           LoadWord(m_pRing->ack) != 1;
}

// Streaming thread.
int CDevOne::CheckState() {
    if (!IsOpen() || m_pRing == nullptr) return 1;
    if (LoadWord(m_pRing->devState) == 1) {
        // The stream ended under us: the host hears silence and sends none.
        ZeroHostBlock();
        StoreWord(m_pRing->ack, 1);
        m_bActive = FALSE;
        return 2;
    }
    const uint32_t devPeriod = LoadWord(m_pRing->devPeriod);
    // A producer index outside the ring would never be met by ours: no period.
    if (devPeriod >= device::kRingPeriods) return 1;
    if (LoadWord(m_pRing->usrPeriod) == devPeriod) return 1;
    m_bActive = TRUE;
    return 0;
}

// Streaming thread.
BOOL CDevOne::AdvancePeriod() {
    if (!IsOpen() || !m_bActive || m_pRing == nullptr) return FALSE;
    const uint32_t next = (LoadWord(m_pRing->usrPeriod) + 1) % device::kRingPeriods;
    StoreWord(m_pRing->usrPeriod, next);
    return TRUE;
}

uint32_t CDevOne::UserPeriod() const { return m_pRing != nullptr ? LoadWord(m_pRing->usrPeriod) : 0; }

// Streaming thread (and the pre-start period on the host's thread), under the
// stream lock: at most two memcpy per channel.
void CDevOne::ReadInput(uint32_t nHalf, uint32_t nIn, uint32_t nPeriodBytes) {
    if (!CopyAllowed()) return;
    if (nPeriodBytes != m_nPeriodBytes || nIn > m_nChannels || nHalf > 1) return;
    const uint32_t len = m_nRingLen;
    const uint32_t pos = LoadWord(m_pRing->inPos);
    uint8_t* rings = reinterpret_cast<uint8_t*>(m_pRing) + device::kRingHeaderBytes;
    for (uint32_t k = 0; k < nIn; ++k) {
        uint8_t* ring = rings + static_cast<uint64_t>(k) * len;
        StoreQword(m_pRing->inStart, HandleToWire(ring));
        StoreQword(m_pRing->inEnd, HandleToWire(ring + len));
        uint8_t* dest = HostHalf(k, nHalf);
        if (dest == nullptr || len < nPeriodBytes || pos > len) continue;
        const uint32_t first = std::min(nPeriodBytes, len - pos);
        std::memcpy(dest, ring + pos, first);
        std::memcpy(dest + first, ring, nPeriodBytes - first);
    }
    AdvanceOffset(m_pRing->inPos, m_pRing->inWraps, nPeriodBytes, len);
}

// Streaming thread (and the pre-start period), under the stream lock.
void CDevOne::WriteOutput(uint32_t nHalf, uint32_t nOut, uint32_t nIn, uint32_t nPeriodBytes) {
    if (!CopyAllowed()) return;
    if (nPeriodBytes != m_nPeriodBytes || static_cast<uint64_t>(nIn) + nOut > m_nChannels || nHalf > 1) return;
    const uint32_t len = m_nRingLen;
    const uint32_t pos = LoadWord(m_pRing->outPos);
    uint8_t* rings = reinterpret_cast<uint8_t*>(m_pRing) + device::kRingHeaderBytes;
    for (uint32_t k = 0; k < nOut; ++k) {
        const uint32_t r = nIn + k;
        uint8_t* ring = rings + static_cast<uint64_t>(r) * len;
        StoreQword(m_pRing->outStart, HandleToWire(ring));
        StoreQword(m_pRing->outEnd, HandleToWire(ring + len));
        const uint8_t* src = HostHalf(r, nHalf);
        if (src == nullptr || len < nPeriodBytes || pos > len) continue;
        const uint32_t first = std::min(nPeriodBytes, len - pos);
        std::memcpy(ring + pos, src, first);
        std::memcpy(ring, src + first, nPeriodBytes - first);
    }
    AdvanceOffset(m_pRing->outPos, m_pRing->outWraps, nPeriodBytes, len);
}

BOOL CDevOne::Stop(uint32_t bMain, uint32_t nArg2) {
    if (!IsOpen()) return TRUE;
    m_bActive = FALSE;
    STOP_STREAM_REQ request{};
    request.bMain = bMain;
    request.nArg2 = nArg2;
    const BOOL ok = Request(IOCTL_STOP_STREAM, &request, sizeof request);
    // Whatever the answer, the next start must find a fresh header: the kernel
    // driver's words too may be zeroed now that its stream is stopped.
    if (m_pRing != nullptr) {
        StoreWord(m_pRing->reserved, 0);
        StoreWord(m_pRing->devState, 0);
        StoreWord(m_pRing->ack, 0);
        StoreWord(m_pRing->devPeriod, 0);
        StoreWord(m_pRing->usrPeriod, 0);
        StoreWord(m_pRing->inPos, 0);
        StoreWord(m_pRing->inWraps, 0);
        StoreQword(m_pRing->inReserved, 0);
        StoreWord(m_pRing->outPos, 0);
        StoreWord(m_pRing->outWraps, 0);
        StoreQword(m_pRing->outReserved, 0);
    }
    return ok;
}

void CDevOne::PrimeOutput(uint64_t nPreRollBytes) {
    if (m_pRing == nullptr) return;
    StoreQword(m_pRing->outReserved, 0);
    StoreWord(m_pRing->outPos, 0);
    StoreWord(m_pRing->outWraps, 0);
    // The process writes this far ahead of the kernel driver's reading.
    if (nPreRollBytes < m_nRingLen) StoreWord(m_pRing->outPos, static_cast<uint32_t>(nPreRollBytes));
}

void CDevOne::RewindInput() {
    if (m_pRing == nullptr) return;
    StoreWord(m_pRing->inPos, 0);
    StoreWord(m_pRing->inWraps, 0);
    StoreQword(m_pRing->inReserved, 0);
}
