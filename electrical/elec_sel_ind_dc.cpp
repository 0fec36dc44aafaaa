// tarvenol elec_sel_ind_dc_t418: the DC meter selector — OFF, ESS BUS, TR 1, ESS TR, TR 2, BAT 1,
// BAT 2, BAT 3 — for the DC voltmeter.
#include "module/controls.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr int kFirstPosition = 0;  // OFF
constexpr int kLastPosition = 7;   // BAT 3
using DcMeterSelector = Selector<&SharedState::dc_meter_sel, kFirstPosition, kLastPosition>;

Background background{panel(nullptr, 200)};
Needle dc_meter_knob{"dc_meter_knob", &DcMeterSelector::knob,
                     knob("DC METER", centred(120, 112, 88, 88), kFirstPosition, kLastPosition,
                          "OFF|ESS BUS|TR 1|ESS TR|TR 2|BAT 1|BAT 2|BAT 3")};

constexpr auto areas = DcMeterSelector::areas("dc_meter.down", "dc_meter.up");

}  // namespace

TARVENOL_GAUGE(elec_sel_ind_dc, "tarvenol elec_sel_ind_dc_t418", 120, &idle_callback, areas, no_vars, nullptr,
               background, dc_meter_knob);
