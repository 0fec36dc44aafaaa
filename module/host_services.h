// The host-service layer: the only way gauge code reaches the simulator. Simulator variables are
// read through one shared record per token, refreshed right before every read; key events and
// panel windows go through the simulator's service table; elements are shown and hidden by their
// hidden bit; timers are deadlines against the simulator's tick counter (18 per second).
#pragma once

#include "module/linkage.h"
#include "module/numbers.h"
#include "module/panel_abi.h"
#include "module/sim_vocabulary.h"

namespace tarvenol {

// The service table the simulator wrote into ImportTable; null before the simulator filled it
// (every service is then a no-op).
inline abi::PANELS* panels() { return static_cast<abi::PANELS*>(ImportTable.PANELSentry.fnptr); }

// --- Simulator variables -----------------------------------------------------------------------
// Every read names its entry of the simulator vocabulary; the entry decides whether the value
// field is read as FLOAT64 or as the 32-bit integer in its low half.
namespace detail {
// One record per token, shared by every gauge that reads it, refreshed right before every read.
template <int Token>
inline abi::MODULE_VAR sim_record{Token, nullptr, 0, {}, {}};
double read_f64(abi::MODULE_VAR& var);
i32 read_i32(abi::MODULE_VAR& var);
}  // namespace detail

void lookup_var(abi::MODULE_VAR& var);

template <int Token>
double read(sim::Var<Token, sim::ReadAs::f64>) {
    return detail::read_f64(detail::sim_record<Token>);
}
template <int Token>
i32 read(sim::Var<Token, sim::ReadAs::i32>) {
    return detail::read_i32(detail::sim_record<Token>);
}

// True when the low 32 bits of a copy of the record's value share a set bit with the mask.
bool flag_bits(abi::MODULE_VAR var, u32 mask);

// --- Commands to the simulator -----------------------------------------------------------------
void send(KeyEvent event, u32 value = 0);
void toggle_window(u32 panel_id);

// --- Pictures ----------------------------------------------------------------------------------
inline void set_visible(abi::ELEMENT_HEADER& element, bool visible) {
    if (visible)
        element.image_flags &= ~abi::IMAGE_HIDDEN;
    else
        element.image_flags |= abi::IMAGE_HIDDEN;
}
inline bool is_visible(const abi::ELEMENT_HEADER& element) { return (element.image_flags & abi::IMAGE_HIDDEN) == 0; }

// --- Timers ------------------------------------------------------------------------------------
constexpr int kTicksPerSecond = 18;

// The simulator's tick counter, refreshed.
double tick_counter();
// A deadline N ticks from now.
i32 deadline_in(i32 ticks);
// A deadline is due once the counter is no longer below it.
bool is_due(i32 deadline);

}  // namespace tarvenol
