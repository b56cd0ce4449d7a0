// Whole-word access to the ring header the kernel driver shares with us. Each
// field is naturally aligned and read or written whole; the 32-bit counters use
// acquire loads and release stores so that samples and counters stay ordered.
#pragma once

#include <cstdint>

#include "device/ring.h"

inline uint32_t LoadWord(const uint32_t& word) { return device::LoadShared(word); }
inline void StoreWord(uint32_t& word, uint32_t value) { device::StoreShared(word, value); }
inline void StoreQword(uint64_t& word, uint64_t value) { __atomic_store_n(&word, value, __ATOMIC_RELAXED); }
