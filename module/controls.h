// The crew's controls: click areas of switches and rotary selectors, bound at compile time to the
// module variable they store, and the knob that shows a selector's position.
//
//   constexpr auto areas = join_areas(
//       std::array{switch_area<&SharedState::tr_1_sw, kOn>("tr_1.on", Cursor::up),
//                  switch_area<&SharedState::tr_1_sw, kOff>("tr_1.off", Cursor::down)},
//       DcMeterSelector::areas("dc_meter.down", "dc_meter.up"));
//
// A variable is named by a pointer to its member; shared variables need nothing more, a gauge's own
// variables add its private state object (`switch_area<&State::fuel_pump_sw, 1, st>`).
#pragma once

#include <array>
#include <cstddef>
#include <type_traits>

#include "module/gauge.h"
#include "module/shared_state.h"

namespace tarvenol {

template <auto Member, auto& Object>
using ControlType = std::remove_reference_t<decltype(Object.*Member)>;

// Stores `Position`; a click that changes the stored position plays CLICK once.
template <auto Member, int Position, auto& Object = shared>
void select_position() {
    set_switch(Object.*Member, Position);
}

// A switch area: selects one position of a switch.
template <auto Member, int Position, auto& Object = shared>
constexpr AreaDef switch_area(const char* name, Cursor cursor) {
    return area<&select_position<Member, Position, Object>>(name, cursor);
}

// A rotary selector stepping by one within First..Last without sound: its left half (down arrow)
// steps down, its right half (up arrow) steps up; its knob shows the position, a position outside
// the range being brought back into it (the clamp is stored).
template <auto Member, int First, int Last, auto& Object = shared>
struct Selector {
    using Value = ControlType<Member, Object>;
    static_assert(First < Last, "a selector has at least two positions");

    static void turn_down() { step_down(Object.*Member, First); }
    static void turn_up() { step_up(Object.*Member, Last); }

    static constexpr std::array<AreaDef, 2> areas(const char* down_name, const char* up_name) {
        return {area<&turn_down>(down_name, Cursor::down), area<&turn_up>(up_name, Cursor::up)};
    }
    static double knob() {
        return clamp_back<Value>(Object.*Member, static_cast<Value>(First), static_cast<Value>(Last));
    }
};

// The areas of a gauge, from the groups its controls declare, in order.
template <std::size_t... N>
constexpr std::array<AreaDef, (N + ...)> join_areas(const std::array<AreaDef, N>&... groups) {
    std::array<AreaDef, (N + ...)> all{};
    std::size_t i = 0;
    ((
         [&] {
             for (const AreaDef& a : groups) all[i++] = a;
         }()),
     ...);
    return all;
}

}  // namespace tarvenol
