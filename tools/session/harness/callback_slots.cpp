#include "callback_slots.h"

#include <array>
#include <atomic>
#include <utility>

namespace session {

namespace {

std::atomic<IHostCallbacks*> g_targets[CallbackSlot::kSlots];

template <int Slot>
struct Trampoline {
    static IHostCallbacks* Target() { return g_targets[Slot].load(std::memory_order_acquire); }

    static void BufferSwitch(ASIOLong index, ASIOBool directProcess) {
        if (IHostCallbacks* t = Target()) t->BufferSwitch(index, directProcess);
    }
    static void SampleRateDidChange(ASIOSampleRate rate) {
        if (IHostCallbacks* t = Target()) t->SampleRateDidChange(rate);
    }
    static ASIOLong AsioMessage(ASIOLong selector, ASIOLong value, void* message, double* opt) {
        IHostCallbacks* t = Target();
        return t != nullptr ? t->AsioMessage(selector, value, message, opt) : 0;
    }
    static ASIOTime* BufferSwitchTimeInfo(ASIOTime* params, ASIOLong index, ASIOBool directProcess) {
        IHostCallbacks* t = Target();
        return t != nullptr ? t->BufferSwitchTimeInfo(params, index, directProcess) : nullptr;
    }
};

template <int... Slots>
constexpr std::array<ASIOCallbacks, sizeof...(Slots)> MakeRecords(std::integer_sequence<int, Slots...>) {
    return {ASIOCallbacks{Trampoline<Slots>::BufferSwitch, Trampoline<Slots>::SampleRateDidChange,
                          Trampoline<Slots>::AsioMessage, Trampoline<Slots>::BufferSwitchTimeInfo}...};
}

constexpr std::array<ASIOCallbacks, CallbackSlot::kSlots> kRecords =
    MakeRecords(std::make_integer_sequence<int, CallbackSlot::kSlots>{});

}  // namespace

bool CallbackSlot::Claim(IHostCallbacks* target) {
    Release();
    if (target == nullptr) return false;
    for (int slot = 0; slot < kSlots; ++slot) {
        IHostCallbacks* expected = nullptr;
        if (g_targets[slot].compare_exchange_strong(expected, target, std::memory_order_acq_rel)) {
            m_slot = slot;
            m_record = kRecords[slot];
            return true;
        }
    }
    return false;
}

void CallbackSlot::Release() {
    if (m_slot < 0) return;
    g_targets[m_slot].store(nullptr, std::memory_order_release);
    m_slot = -1;
    m_record = {};
}

}  // namespace session
