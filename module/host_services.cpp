#include "module/host_services.h"

#include <cstring>

#include "module/linkage.h"

namespace tarvenol {

void lookup_var(abi::MODULE_VAR& var) {
    if (auto* p = panels(); p && p->lookup_var) p->lookup_var(&var);
}

double detail::read_f64(abi::MODULE_VAR& var) {
    lookup_var(var);
    return var.var_value.n;
}

i32 detail::read_i32(abi::MODULE_VAR& var) {
    lookup_var(var);
    return static_cast<i32>(var.var_value.d);
}

bool flag_bits(abi::MODULE_VAR var, u32 mask) { return (var.var_value.d & mask) != 0; }

void send(KeyEvent event, u32 value) {
    if (auto* p = panels(); p && p->trigger_key_event) p->trigger_key_event(event.id, value);
}

void toggle_window(u32 panel_id) {
    if (auto* p = panels(); p && p->panel_window_toggle) p->panel_window_toggle(panel_id);
}

double tick_counter() { return read(sim::tick_counter); }

i32 deadline_in(i32 ticks) { return truncate<i32>(tick_counter() + ticks); }

bool is_due(i32 deadline) { return static_cast<double>(deadline) <= tick_counter(); }

}  // namespace tarvenol
