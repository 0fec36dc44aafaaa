// The module as a whole, for the stand-in host and the tests: its gauges with their names, areas
// and private variables, every module variable by name, and a reset to what a fresh load holds.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "module/gauge.h"
#include "module/linkage.h"

namespace tarvenol {

extern const GaugeInfo* const gauge_infos[kGaugeCount];

inline std::span<const GaugeInfo* const> gauges() { return gauge_infos; }
const GaugeInfo* find_gauge(std::string_view name);
const AreaDef* find_area(const GaugeInfo& gauge, std::string_view area, std::size_t* index = nullptr);
ElementLink* find_element(const GaugeInfo& gauge, std::string_view element);

// A module variable by name: the shared state first, then every gauge's private state.
const VarRef* find_var(std::string_view name);

// Everything back to its value at load: shared and private state, element flags, sounds released.
void reset_module_state();

}  // namespace tarvenol
