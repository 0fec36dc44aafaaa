// tarvenol elec_batt_t418: the battery panel — three battery switches (ON, NORM, OFF) and their
// connection flow bars. Its tick owns the batteries: their current, their common charge integrated
// against the simulator's clock, which of them sit on the DC essential bus and whether that bus is
// powered. On its first tick it also wakes the simulator's own electrical system if it is dead.
#include <cstdint>

#include "module/controls.h"
#include "module/gauge.h"
#include "module/indicators.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

// Below this bus voltage the simulator's own electrics are dead and its battery is switched on.
constexpr double kSimElectricsDead = 5.0;

// Battery switch positions.
constexpr u8 kOff = 0;
constexpr u8 kNorm = 1;
constexpr u8 kOn = 2;

// Battery current, amperes: the essential loads at NORM or LAND equipment, at minimum equipment;
// the charge rate, tapering over the last units before full.
constexpr i32 kNormalDischarge = -50;
constexpr i32 kMinimumDischarge = -10;
constexpr i32 kDischarging = -1;  // below this a discharge period runs
constexpr i32 kChargeRate = 50;
constexpr i32 kIdle = 0;
constexpr u8 kNormalEquipment = 1;  // essential equipment level from which the normal loads draw

// Charge units: full, and where the charge current starts to taper.
constexpr u32 kFull = 1800;
constexpr u32 kTaperFrom = 1750;
constexpr u32 kEmpty = 0;
// Clock seconds per charge unit lost at each discharge rate.
constexpr u32 kSecondsPerUnitAtNormal = 1;
constexpr u32 kSecondsPerUnitAtMinimum = 3;

#define BATT_STATE(X)                \
    X(u8, batt_first_tick_done, 0)   \
    X(u8, batt_discharging, 0)       \
    X(u8, batt_charging, 0)          \
    X(u32, batt_period_t0, 0)        \
    X(u32, batt_used, 0)             \
    X(u32, batt_used_carry, 0)       \
    X(u32, batt_charge_base, 0)      \
    X(u32, batt_used_counted, 0)
TARVENOL_PRIVATE_STATE(BATT_STATE)

// The panel: three battery switches, each with its connection bar below it on the line down to
// the DC essential bus, drawn along the bottom.
constexpr int kW = 300, kSwitchTop = 56, kBarTop = 132, kBus = 176;
constexpr int kBat1 = column(0, 3, kW), kBat2 = column(1, 3, kW), kBat3 = column(2, 3, kW);
constexpr Box battery_bar(int cx) { return at(cx - kBarSize / 2 + 1, kBarTop, kBarSize - 2, kBarSize); }
constexpr Line kFlow[] = {line(kBat1, kBarTop + kBarSize, kBat1, kBus), line(kBat2, kBarTop + kBarSize, kBat2, kBus),
                          line(kBat3, kBarTop + kBarSize, kBat3, kBus), line(kBat1 - 30, kBus, kBat3 + 30, kBus)};
constexpr const char* kBatteryMarks = "OFF|NORM|ON";

Background background{panel("BAT", 190, kFlow)};
SwitchImages<3> batt_1_images{lever("BAT 1", switch_box(kBat1, kSwitchTop), kBatteryMarks), "batt_1_sw.off",
                              "batt_1_sw.norm", "batt_1_sw.on"};
SwitchImages<3> batt_2_images{lever("BAT 2", switch_box(kBat2, kSwitchTop), kBatteryMarks), "batt_2_sw.off",
                              "batt_2_sw.norm", "batt_2_sw.on"};
SwitchImages<3> batt_3_images{lever("BAT 3", switch_box(kBat3, kSwitchTop), kBatteryMarks), "batt_3_sw.off",
                              "batt_3_sw.norm", "batt_3_sw.on"};
FlowBar batt_1_bar{"batt_1_bar.in_line", "batt_1_bar.cross_line", bar(battery_bar(kBat1))};
FlowBar batt_2_bar{"batt_2_bar.in_line", "batt_2_bar.cross_line", bar(battery_bar(kBat2))};
FlowBar batt_3_bar{"batt_3_bar.in_line", "batt_3_bar.cross_line", bar(battery_bar(kBat3))};

template <auto Switch>
constexpr std::array<AreaDef, 3> battery_switch(const char* on, const char* norm, const char* off) {
    return {switch_area<Switch, kOn>(on, Cursor::up), switch_area<Switch, kNorm>(norm, Cursor::hand),
            switch_area<Switch, kOff>(off, Cursor::down)};
}

constexpr auto areas = join_areas(battery_switch<&SharedState::batt_1_sw>("batt_1.on", "batt_1.norm", "batt_1.off"),
                                  battery_switch<&SharedState::batt_2_sw>("batt_2.on", "batt_2.norm", "batt_2.off"),
                                  battery_switch<&SharedState::batt_3_sw>("batt_3.on", "batt_3.norm", "batt_3.off"));

bool switch_not_off(u8 position) { return position == kNorm || position == kOn; }

// The simulator's own electrical system must be alive for its radios and instruments.
void wake_simulator_electrics() {
    const double volts = read(sim::main_bus_volts);
    if (st.batt_first_tick_done == 0) {
        if (volts < kSimElectricsDead) send(key::master_battery_toggle);
        st.batt_first_tick_done = 1;
    }
}

// Discharging while they alone carry the essential loads, charging while a source feeds the
// essential bus.
void battery_current() {
    auto& s = shared;
    const bool ac_source = s.apu_gen_avail != 0 || s.gen_1_load != 0 || s.gen_2_load != 0 || s.ext_pwr_on != 0;
    const bool essential_bus_fed = s.batt_bus_fed_by_dc_bus != 0 || s.tr_ess_on != 0;

    if (s.batt_sw_any_on == 0) {
        s.batt_current = kIdle;
    } else if (!ac_source || !essential_bus_fed) {
        s.batt_current = s.ess_equipment_level >= kNormalEquipment ? kNormalDischarge : kMinimumDischarge;
        st.batt_charging = 0;
    } else {
        if (s.batt_charge <= kTaperFrom)
            s.batt_current = kChargeRate;
        else if (s.batt_charge < kFull)
            s.batt_current = static_cast<i32>(kFull - s.batt_charge);
        else
            s.batt_current = kIdle;
        st.batt_discharging = 0;
    }
}

// The discharge count of the period has reached `used` seconds: the charge loses the units those
// seconds make at the present rate beyond what was already taken off. A discharge so goes on from
// the charge it starts at, a change of rate from the charge reached, and the charge never rises.
void take_off_discharged_units(u32 seconds_per_unit) {
    auto& s = shared;
    const u32 units_now = st.batt_used / seconds_per_unit;
    const u32 units_before = st.batt_used_counted / seconds_per_unit;
    const u32 lost = units_now > units_before ? units_now - units_before : 0;
    st.batt_used_counted = st.batt_used;
    if (s.batt_charge <= kFull)
        s.batt_charge = lost < s.batt_charge ? s.batt_charge - lost : kEmpty;
    else
        s.batt_charge = kFull;
}

// The charge, integrated against the clock per discharge or charge period.
void integrate_charge() {
    auto& s = shared;
    const double clock = read(sim::clock_s);

    if (s.batt_current < kDischarging && st.batt_discharging == 0) {
        st.batt_period_t0 = truncate<u32>(clock);
        st.batt_used_counted = st.batt_used_carry;  // carried seconds were taken off before the pause
        st.batt_discharging = 1;
    }
    if (st.batt_discharging == 1 && (s.batt_current == kNormalDischarge || s.batt_current == kMinimumDischarge)) {
        st.batt_used = truncate<u32>(clock - st.batt_period_t0 + st.batt_used_carry);
        take_off_discharged_units(s.batt_current == kNormalDischarge ? kSecondsPerUnitAtNormal
                                                                     : kSecondsPerUnitAtMinimum);
    }
    if (s.batt_current > kIdle && st.batt_charging == 0 && s.batt_charge < kFull) {
        st.batt_period_t0 = truncate<u32>(clock);
        st.batt_charge_base = s.batt_charge;
        st.batt_charging = 1;
    }
    if (s.batt_current > kIdle && st.batt_charging == 1) {
        st.batt_used = truncate<u32>(clock - st.batt_period_t0);
        // Summed wide: a clock that leaps far ahead fills the battery instead of wrapping the sum.
        const std::uint64_t charged = std::uint64_t{st.batt_charge_base} + st.batt_used;
        s.batt_charge = s.batt_charge < kFull ? (charged < kFull ? static_cast<u32>(charged) : kFull) : kFull;
    }
    if (s.batt_current == kIdle) {
        // Seconds of an interrupted discharge wait for the next one only while every switch is
        // OFF; idling on a full battery with a switch on starts the next discharge afresh.
        if (s.batt_sw_any_on == 1) st.batt_used = 0;
        st.batt_used_carry = st.batt_used;
        st.batt_charging = 0;
        st.batt_discharging = 0;
    }
    if (s.batt_charge > kFull) s.batt_charge = kFull;
}

// A battery at NORM joins the bus while current flows, at ON always.
void connect(u8 position, u8& connected) {
    if (position == kNorm) connected = shared.batt_current != kIdle ? 1 : 0;
    if (position == kOn) connected = 1;
    if (position == kOff) connected = 0;
}

// The DC essential bus: batteries, the essential TR with AC bus 1, or the DC normal bus
// through the DC TIE.
void essential_bus() {
    auto& s = shared;
    if (s.batt_sw_any_on == 1 && s.batt_charge > kEmpty) {
        s.batt_bus_powered = 1;
        s.batt_bus_fed_by_dc_bus = 0;
    } else if (s.tr_ess_on == 1 && s.ac_bus_1_powered == 1) {
        s.batt_bus_powered = 1;
        s.batt_bus_fed_by_dc_bus = 0;
    } else if (s.dc_bus_tie_sw == 1 && s.dc_bus_powered == 1) {
        s.batt_bus_powered = 1;
        s.batt_bus_fed_by_dc_bus = 1;
    } else {
        s.batt_bus_powered = 0;
    }
}

void tick() {
    auto& s = shared;
    wake_simulator_electrics();

    batt_1_images.show(s.batt_1_sw);
    batt_2_images.show(s.batt_2_sw);
    batt_3_images.show(s.batt_3_sw);

    // The bars show the connections as the previous tick left them.
    batt_1_bar.show(s.batt_bus_powered == 1, s.batt_1_connected == 1);
    batt_2_bar.show(s.batt_bus_powered == 1, s.batt_2_connected == 1);
    batt_3_bar.show(s.batt_bus_powered == 1, s.batt_3_connected == 1);

    s.batt_sw_any_on = switch_not_off(s.batt_1_sw) || switch_not_off(s.batt_2_sw) || switch_not_off(s.batt_3_sw);

    battery_current();
    integrate_charge();

    connect(s.batt_1_sw, s.batt_1_connected);
    connect(s.batt_2_sw, s.batt_2_connected);
    connect(s.batt_3_sw, s.batt_3_connected);

    essential_bus();
}

}  // namespace

TARVENOL_GAUGE(elec_batt, "tarvenol elec_batt_t418", 150, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, batt_1_images, batt_2_images, batt_3_images, batt_1_bar,
               batt_2_bar, batt_3_bar);
