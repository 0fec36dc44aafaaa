// tarvenol elec_sel_ind_ac_t418: the AC meter selectors — the phase knob (A, B, C) and the source
// knob (OFF, EXT PWR, ESS BUS, EMERG BUS, BUS 1, BUS 2, GEN 1, GEN 2, APU GEN) for the AC voltmeter
// and frequency meter.
#include "electrical/electrical.h"
#include "module/controls.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::elec;

constexpr int kPhaseA = 0;
constexpr int kPhaseC = 2;
using PhaseSelector = Selector<&SharedState::ac_phase_sel, kPhaseA, kPhaseC>;
using SourceSelector = Selector<&SharedState::ac_meter_sel, ac_meter::kOff, ac_meter::kApuGen>;

Background background{panel(nullptr, 200)};
Needle ac_phase_knob{"ac_phase_knob", &PhaseSelector::knob,
                     knob("PHASE", centred(70, 112, 72, 72), kPhaseA, kPhaseC, "A|B|C")};
Needle ac_meter_knob{"ac_meter_knob", &SourceSelector::knob,
                     knob("AC METER", centred(204, 112, 88, 88), ac_meter::kOff, ac_meter::kApuGen,
                          "OFF|EXT PWR|ESS BUS|EMER BUS|BUS 1|BUS 2|GEN 1|GEN 2|APU GEN")};

constexpr auto areas = join_areas(PhaseSelector::areas("ac_phase.down", "ac_phase.up"),
                                  SourceSelector::areas("ac_meter.down", "ac_meter.up"));

}  // namespace

TARVENOL_GAUGE(elec_sel_ind_ac, "tarvenol elec_sel_ind_ac_t418", 146, &idle_callback, areas, no_vars, nullptr,
               background, ac_phase_knob, ac_meter_knob);
