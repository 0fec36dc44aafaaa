// tarvenol flt_deck_lt_t418: the flight deck light panel — STORM switch and ANN LT selector (TEST,
// BRT, DIM), which drives the annunciator lamp test of the whole cockpit. On its first tick after
// load it opens the aircraft's pop-up panel windows, so that their gauges tick from the start.
#include "module/cockpit_layout.h"
#include "module/controls.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// ANN LT selector positions.
constexpr u8 kBright = 0;
constexpr u8 kDim = 1;
constexpr u8 kTest = 2;

constexpr u8 kWindowsOpened = 1;  // cockpit_init_state once they are

Background background{panel("FLT DECK LT", 150)};
SwitchImages<2> storm_switch{lever("STORM", switch_box(column(0, 2, 330), 50)), "storm.off", "storm.on"};
// The selector's pictures bottom to top: DIM, BRT, TEST; indexed by selector position.
SwitchImages<3> ann_lt_selector{lever("ANN LT", switch_box(column(1, 2, 330), 50), "DIM|BRT|TEST"), "ann_lt.dim",
                                "ann_lt.brt", "ann_lt.test"};
constexpr int kSelectorPicture[] = {1, 0, 2};  // BRT, DIM, TEST

void tick() {
    auto& s = shared;
    if (s.cockpit_init_state == 0) {
        for (const cockpit::Window& w : cockpit::windows())
            if (w.opened_at_load) send(key::panel_window_open, w.id);
        s.cockpit_init_state = kWindowsOpened;
    }
    storm_switch.show(s.storm_lt_sw);
    ann_lt_selector.show(s.ann_lt_sel <= kTest ? kSelectorPicture[s.ann_lt_sel] : -1);
    s.ann_lt_test = s.ann_lt_sel == kTest ? 1 : 0;
}

constexpr std::array areas{
    switch_area<&SharedState::storm_lt_sw, 1>("storm.on", Cursor::up),
    switch_area<&SharedState::storm_lt_sw, 0>("storm.off", Cursor::down),
    switch_area<&SharedState::ann_lt_sel, kTest>("ann_lt.test", Cursor::up),
    switch_area<&SharedState::ann_lt_sel, kBright>("ann_lt.brt", Cursor::hand),
    switch_area<&SharedState::ann_lt_sel, kDim>("ann_lt.dim", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(flt_deck_lt, "tarvenol flt_deck_lt_t418", 165, &tick_callback<&tick>, areas, no_vars, nullptr,
               background, storm_switch, ann_lt_selector);
