// tarvenol elec_ind_dc_v_t418: the DC voltmeter. Its needle reads 28 V on a live TR or bus, 24 V on
// the batteries while they discharge, and moves toward its reading a few volts per tick.
#include "module/gauge.h"
#include "module/indicators.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// DC meter selector positions.
constexpr u8 kOff = 0;
constexpr u8 kEssBus = 1;
constexpr u8 kTr1 = 2;
constexpr u8 kEssTr = 3;
constexpr u8 kTr2 = 4;
constexpr u8 kBat1 = 5;
constexpr u8 kBat2 = 6;
constexpr u8 kBat3 = 7;

// Readings, volts; the needle moves faster low on the scale.
constexpr u32 kBusVolts = 28;
constexpr u32 kDischargeVolts = 24;
constexpr u32 kRest = 0;
constexpr u32 kFastBelow = 15;
constexpr u8 kFastStep = 4;
constexpr u8 kSlowStep = 2;
constexpr i32 kBatteryDischarging = -1;  // battery current at or below this
constexpr u32 kScaleMin = 0;
constexpr u32 kScaleMax = 35;

#define DC_VOLTS_STATE(X)       \
    X(u32, dc_volts_needle, 0)  \
    X(u8, dc_volts_step, 0)
TARVENOL_PRIVATE_STATE(DC_VOLTS_STATE)

Background background{panel(nullptr, 150)};
Needle dc_volts_needle{"dc_volts_needle", [] { return clamp_back(st.dc_volts_needle, kScaleMin, kScaleMax); },
       dial("DC VOLTS", kScaleMin, kScaleMax, centred(75, 75, 136, 136)).band(26, 30).in("V")};

// A TR or the essential bus: the bus voltage while live.
void read_source(bool live) {
    if (live)
        rise_toward(st.dc_volts_needle, kBusVolts, st.dc_volts_step);
    else
        fall_to(st.dc_volts_needle, kRest, st.dc_volts_step);
}

// The batteries, all three alike: lower while they discharge.
void read_batteries() {
    const auto& s = shared;
    if (s.batt_sw_any_on == 1 && s.batt_current <= kBatteryDischarging)
        settle_on(st.dc_volts_needle, kDischargeVolts, st.dc_volts_step);
    else if (s.batt_sw_any_on == 1)
        settle_on(st.dc_volts_needle, kBusVolts, st.dc_volts_step);
    else
        fall_to(st.dc_volts_needle, kRest, st.dc_volts_step);
}

void tick() {
    const auto& s = shared;
    st.dc_volts_step = st.dc_volts_needle < kFastBelow ? kFastStep : kSlowStep;
    switch (s.dc_meter_sel) {
        case kEssBus: read_source(s.batt_bus_powered == 1); break;
        case kTr1: read_source(s.tr_1_on == 1); break;
        case kEssTr: read_source(s.tr_ess_on == 1); break;
        case kTr2: read_source(s.tr_2_on == 1); break;
        case kBat1:
        case kBat2:
        case kBat3: read_batteries(); break;
        case kOff:
        default: read_source(false); break;
    }
}

}  // namespace

TARVENOL_GAUGE(elec_ind_dc_v, "tarvenol elec_ind_dc_v_t418", 75, &tick_callback<&tick>, no_areas, st_table,
               &reset_private_state, background, dc_volts_needle);
