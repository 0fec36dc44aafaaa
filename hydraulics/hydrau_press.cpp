// tarvenol hydrau_press_t418: the hydraulic panel — the two power transfer switches, the pump
// pressure flags and the PRES LO lamps. Its tick integrates the blue, green and yellow pressures,
// publishes their status, and makes the simulated aircraft feel the loss of systems: controls held
// where they were, autopilot and yaw dampers dropped, elevator and trim neutralised.
#include "hydraulics/hydraulics.h"
#include "module/gauge.h"
#include "module/indicators.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::hyd;

// Pressures move 30 psi up and 15 down per tick; 1750 psi is pressurised.
constexpr u32 kRiseStep = 30;
constexpr u32 kDecayStep = 15;
constexpr u32 kMaxPressure = 3000;
constexpr u32 kPressurised = 1750;
constexpr double kRamAirMinIas = 150.0;

// Status bytes.
constexpr u8 kLost = 0;
constexpr u8 kEngineDriven = 1;
constexpr u8 kOtherwiseDriven = 2;
constexpr u8 kRamAirDriven = 3;

// Pump pressure flag: the flow bar shows while the pump turns (running down, or fully spooled).
constexpr u8 kFlowBarAbove = 195;
// Spooling up: PUMP PRESS LO.
constexpr u8 kSpoolLampFrom = 100;
constexpr u8 kSpoolLampTo = 195;

// Captured gear above this is not fully retracted.
constexpr i32 kGearRetracted = 1;
// On the ground between these speeds a double loss also sends the ground command.
constexpr double kGroundCommandMinIas = 1.0;
constexpr double kGroundCommandMaxIas = 80.0;

#define HYD_PRESS_STATE(X)              \
    X(u32, hyd_green_branch_1_press, 0, within(0, kMaxPressure)) \
    X(u32, hyd_green_branch_2_press, 0, within(0, kMaxPressure)) \
    X(u8, hyd_elec_pump_running, 0)     \
    X(u8, hyd_blue_lo_lamp, 0, kFlag)          \
    X(u8, hyd_green_lo_lamp, 0, kFlag)         \
    X(u8, hyd_yellow_lo_lamp, 0, kFlag)        \
    X(u8, hyd_pump_spool_lamp, 0, kFlag)       \
    X(u8, hyd_capture_latch, 0)         \
    X(i32, hyd_captured_gear_1, 0)      \
    X(i32, hyd_captured_gear_2, 0)      \
    X(i32, hyd_captured_flaps, 0)       \
    X(u8, hyd_toggle_latch, 0)
TARVENOL_PRIVATE_STATE(HYD_PRESS_STATE)

// The panel's flow diagram: the engine pumps' flow bars at the top, each on its system's line
// down to the system's PRESS LO light; the two green pumps join on one line; the electric pump
// feeds the yellow line from the right; the power transfer switches sit between the systems.
constexpr int kPumpBars = 56, kJoin = 104, kPtuTop = 96, kLamps = 184, kElecBar = 130;
constexpr int kBlue = 110, kGreen = 332, kYellow = 554, kGreen1 = kGreen - 60, kGreen2 = kGreen + 60, kElec = 622;
constexpr Box pump_bar(int cx, int cy) { return centred(cx, cy, kBarSize - 2, kBarSize); }
constexpr Line kFlow[] = {
    line(kBlue, kPumpBars, kBlue, kLamps),       line(kGreen1, kPumpBars, kGreen1, kJoin),
    line(kGreen2, kPumpBars, kGreen2, kJoin),    line(kGreen1, kJoin, kGreen2, kJoin),
    line(kGreen, kJoin, kGreen, kLamps),         line(kYellow, kPumpBars, kYellow, kLamps),
    line(kElec, kElecBar - 40, kElec, kElecBar), line(kElec, kElecBar, kYellow, kElecBar)};

Background background{panel("HYD", 226, kFlow)};
SwitchImages<2> ptu_blue_green_images{lever("PTU BLUE-GREEN", switch_box((kBlue + kGreen) / 2, kPtuTop), "OFF|ON"),
                                      "hyd_ptu_blue_green_sw.off", "hyd_ptu_blue_green_sw.on"};
SwitchImages<2> ptu_green_yellow_images{
    lever("PTU GREEN-YELLOW", switch_box((kGreen + kYellow) / 2, kPtuTop), "OFF|ON"), "hyd_ptu_green_yellow_sw.off",
    "hyd_ptu_green_yellow_sw.on"};
Image blue_eng1_flow{"blue_eng1_flow_bar", bar(pump_bar(kBlue, kPumpBars))};
Image green_eng1_flow{"green_eng1_flow_bar", bar(pump_bar(kGreen1, kPumpBars))};
Image green_eng2_flow{"green_eng2_flow_bar", bar(pump_bar(kGreen2, kPumpBars))};
Image yellow_eng2_flow{"yellow_eng2_flow_bar", bar(pump_bar(kYellow, kPumpBars))};
Image elec_pump_flow{"elec_pump_flow_bar", bar(pump_bar(kElec, kElecBar - 24))};
Image elec_pump_no_flow{"elec_pump_no_flow", FlowBar::crossed(bar(pump_bar(kElec, kElecBar - 24)))};
Image blue_lo_lamp{"blue_pres_lo_light", light(Tone::caution, "BLUE PRESS LO", lamp_box(kBlue, kLamps, 76))};
Image green_lo_lamp{"green_pres_lo_light", light(Tone::caution, "GREEN PRESS LO", lamp_box(kGreen, kLamps, 76))};
Image yellow_lo_lamp{"yellow_pres_lo_light", light(Tone::caution, "YELLOW PRESS LO", lamp_box(kYellow, kLamps, 72))};
Image pump_spool_lamp{"pump_press_lo_light", light(Tone::caution, "ELEC PUMP LO PR", lamp_box(kElec, kLamps, 60))};

void rise(u32& pressure) { pressure = pressure >= kMaxPressure - kRiseStep ? kMaxPressure : pressure + kRiseStep; }

// A pressure that is no multiple of 15 (a preset can leave one) stops at 0 instead of wrapping.
void decay(u32& pressure) { pressure = pressure >= kDecayStep ? pressure - kDecayStep : 0; }

// The engine pump rules shared by every system: a fully spooled pump on a running engine raises
// the pressure, a spooling one holds it. True when one of them decided.
bool engine_pump(u32& pressure, u8 counter, bool engine_running, u8 failed) {
    if (engine_running && counter == kPumpFull && failed == 0) {
        rise(pressure);
        return true;
    }
    if (counter != kPumpStopped && engine_running && failed == 0) return true;
    return false;
}

u8 status(u32 pressure, bool engine_driven, bool ram_air = false) {
    if (pressure < kPressurised) return kLost;
    if (engine_driven) return kEngineDriven;
    return ram_air ? kRamAirDriven : kOtherwiseDriven;
}

bool pump_flow(u8 counter) {
    return (counter >= 1 && counter <= kPumpSwitchedOff) || counter > kFlowBarAbove;
}
bool pump_spooling(u8 counter) { return counter >= kSpoolLampFrom && counter <= kSpoolLampTo; }

void lose_systems(double ias) {
    auto& s = shared;

    // a. Green and yellow lost: gear and flaps held where they were, autopilot dropped.
    if (s.hyd_green_status + s.hyd_yellow_status == 0) {
        if (st.hyd_capture_latch == 0) {
            st.hyd_captured_gear_1 = truncate<i32>(read(sim::gear_left_pos));
            st.hyd_captured_gear_2 = truncate<i32>(read(sim::gear_right_pos));
            st.hyd_captured_flaps = truncate<i32>(read(sim::flap_pos));
            st.hyd_capture_latch = 1;
        }
        s.afs_channels = 0;
        s.ap_engaged = 0;
        const bool gear_extended = st.hyd_captured_gear_1 > kGearRetracted || st.hyd_captured_gear_2 > kGearRetracted;
        send(gear_extended ? key::gear_down : key::gear_up);
        send(key::flaps_set, static_cast<u32>(st.hyd_captured_flaps));
        if (st.hyd_toggle_latch == 0) {
            send(key::sim_toggle_10306);
            st.hyd_toggle_latch = 1;
        }
        send(key::ap_master_off);
        if (is_on(read(sim::on_ground)) && ias >= kGroundCommandMinIas && ias < kGroundCommandMaxIas)
            send(key::sim_command_1004c);
    } else if (s.hyd_yellow_status != 0 && st.hyd_toggle_latch == 1) {
        // b. Yellow back: the toggle once more restores the simulator's state.
        send(key::sim_toggle_10306);
        st.hyd_toggle_latch = 0;
    }
    // c. A later double loss captures anew.
    if (s.hyd_green_status != 0 || s.hyd_yellow_status != 0) st.hyd_capture_latch = 0;

    // d. Yellow and blue lost: no yaw dampers.
    if (s.hyd_yellow_status + s.hyd_blue_status == 0) {
        send(key::yaw_damper_pair_disengage);
        s.yaw_damper_1_engaged = 0;
        s.yaw_damper_2_engaged = 0;
        send(key::sim_command_10211);
    }
    // e. Everything lost: elevator and trim to neutral.
    if (s.hyd_blue_status + s.hyd_green_status + s.hyd_yellow_status == 0) {
        send(key::sim_command_1004c);
        send(key::elevator_set);
        send(key::elevator_trim_set);
    }
}

void tick() {
    auto& s = shared;
    const bool eng1 = read(sim::eng1_n2_pct) >= kEngineRunningN2;
    const bool eng2 = read(sim::eng2_n2_pct) >= kEngineRunningN2;
    const double ias = read(sim::ias_kt);
    const bool ram_air = ias >= kRamAirMinIas;

    // 2. Electric pumps (green), each on its AC bus.
    st.hyd_elec_pump_running = (s.hyd_elec_pump_1_sw == 1 && s.ac_bus_1_powered == 1) ||
                               (s.hyd_elec_pump_2_sw == 1 && s.ac_bus_2_powered == 1);

    // 3. Blue: engine 1 pump, else power transfer from green (last tick's green).
    if (!engine_pump(s.hyd_blue_press, s.hyd_pump_blue_eng1, eng1, s.fail_hyd_blue_pump)) {
        if (s.hyd_green_press >= kPressurised && s.hyd_ptu_blue_green_sw == 1)
            rise(s.hyd_blue_press);
        else
            decay(s.hyd_blue_press);
    }

    // 4. Green branch 1: engine 1 pump, else transfer from yellow (last tick's) with engine 2
    // running, else the electric pumps.
    if (!engine_pump(st.hyd_green_branch_1_press, s.hyd_pump_green_eng1, eng1, s.fail_hyd_green_pumps)) {
        if (eng2 && s.hyd_yellow_press >= kPressurised && s.hyd_ptu_green_yellow_sw == 1)
            rise(st.hyd_green_branch_1_press);
        else if (st.hyd_elec_pump_running)
            rise(st.hyd_green_branch_1_press);
        else
            decay(st.hyd_green_branch_1_press);
    }
    // Green branch 2: engine 2 pump, else transfer from blue (this tick's) with engine 1 running,
    // else the electric pumps.
    if (!engine_pump(st.hyd_green_branch_2_press, s.hyd_pump_green_eng2, eng2, s.fail_hyd_green_pumps)) {
        if (eng1 && s.hyd_blue_press >= kPressurised && s.hyd_ptu_blue_green_sw == 1)
            rise(st.hyd_green_branch_2_press);
        else if (st.hyd_elec_pump_running)
            rise(st.hyd_green_branch_2_press);
        else
            decay(st.hyd_green_branch_2_press);
    }

    // 5. Yellow: engine 2 pump, else transfer from green (last tick's), else the ram air turbine.
    if (!engine_pump(s.hyd_yellow_press, s.hyd_pump_yellow_eng2, eng2, s.fail_hyd_yellow_pump)) {
        if (s.hyd_green_press >= kPressurised && s.hyd_ptu_green_yellow_sw == 1)
            rise(s.hyd_yellow_press);
        else if (ram_air)
            rise(s.hyd_yellow_press);
        else
            decay(s.hyd_yellow_press);
    }

    // 6. Green is the greater branch.
    s.hyd_green_press = st.hyd_green_branch_2_press >= st.hyd_green_branch_1_press ? st.hyd_green_branch_2_press
                                                                                     : st.hyd_green_branch_1_press;

    // 7. Status for the flight controls, levers and autopilot.
    s.hyd_green_status = status(s.hyd_green_press, eng1 || eng2);
    s.hyd_blue_status = status(s.hyd_blue_press, eng1);
    s.hyd_yellow_status = status(s.hyd_yellow_press, eng2, ram_air);

    // 8. What the aircraft loses with its systems.
    lose_systems(ias);

    // Indications.
    const bool dc = s.dc_bus_powered == 1;
    const bool ess = s.batt_bus_powered == 1;
    ptu_blue_green_images.show(s.hyd_ptu_blue_green_sw);
    ptu_green_yellow_images.show(s.hyd_ptu_green_yellow_sw);
    blue_eng1_flow.show(dc && pump_flow(s.hyd_pump_blue_eng1));
    green_eng1_flow.show(dc && pump_flow(s.hyd_pump_green_eng1));
    green_eng2_flow.show(dc && pump_flow(s.hyd_pump_green_eng2));
    yellow_eng2_flow.show(dc && pump_flow(s.hyd_pump_yellow_eng2));
    elec_pump_flow.show(dc && st.hyd_elec_pump_running);
    elec_pump_no_flow.show(dc && !st.hyd_elec_pump_running);

    st.hyd_blue_lo_lamp = ess && s.hyd_blue_press < kPressurised;
    st.hyd_green_lo_lamp =
        ess && st.hyd_green_branch_1_press < kPressurised && st.hyd_green_branch_2_press < kPressurised;
    st.hyd_yellow_lo_lamp = ess && s.hyd_yellow_press < kPressurised;
    st.hyd_pump_spool_lamp =
        ess && (pump_spooling(s.hyd_pump_blue_eng1) || pump_spooling(s.hyd_pump_green_eng1) ||
                pump_spooling(s.hyd_pump_green_eng2) || pump_spooling(s.hyd_pump_yellow_eng2));
    blue_lo_lamp.show(st.hyd_blue_lo_lamp);
    green_lo_lamp.show(st.hyd_green_lo_lamp);
    yellow_lo_lamp.show(st.hyd_yellow_lo_lamp);
    pump_spool_lamp.show(st.hyd_pump_spool_lamp);
    s.hyd_fault = st.hyd_blue_lo_lamp || st.hyd_green_lo_lamp || st.hyd_yellow_lo_lamp || st.hyd_pump_spool_lamp;
}

constexpr std::array areas{
    area<[] { set_switch(shared.hyd_ptu_blue_green_sw, 1); }>("ptu_blue_green.on", Cursor::up),
    area<[] { set_switch(shared.hyd_ptu_blue_green_sw, 0); }>("ptu_blue_green.off", Cursor::down),
    area<[] { set_switch(shared.hyd_ptu_green_yellow_sw, 1); }>("ptu_green_yellow.on", Cursor::up),
    area<[] { set_switch(shared.hyd_ptu_green_yellow_sw, 0); }>("ptu_green_yellow.off", Cursor::down),
};

}  // namespace

TARVENOL_GAUGE(hydrau_press, "tarvenol hydrau_press_t418", 332, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, ptu_blue_green_images, ptu_green_yellow_images, blue_eng1_flow,
               green_eng1_flow, green_eng2_flow, yellow_eng2_flow, elec_pump_flow, elec_pump_no_flow, blue_lo_lamp,
               green_lo_lamp, yellow_lo_lamp, pump_spool_lamp);
