// tarvenol ap_master_t418: the glareshield autopilot engage panel and the mode logic of the
// automatic flight system — the two flight-guidance channels, the two autopilot engage levers, the
// IAS, LAND, LOC/approach, take-off and CWS buttons and the pitch wheel. Its tick validates what the
// buttons and levers asked for, keeps the mode codes the flight directors show, couples the modes
// to the simulator's own autopilot every tick and runs the autopilot's control laws.
#include "afs/control_laws.h"
#include "afs/modes.h"
#include "module/gauge.h"
#include "module/number_text.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::afs;
using afs::laws;

// --- Figures -------------------------------------------------------------------------------------

constexpr i32 kReadoutTicks = 50;
constexpr double kPitchWheelMax = 25.0;
constexpr double kPitchWheelMin = -10.0;
constexpr double kPitchWheelStep = 0.5;
constexpr i32 kMaxEngageBank = 54;

// Channels and autopilots in command.
constexpr u8 kNone = 0;
constexpr u8 kOne = 1;
constexpr u8 kTwo = 2;
constexpr u8 kBoth = 3;

constexpr double kLandSelectAboveFt = 700.0;
constexpr double kLandDualCheckAboveFt = 100.0;
constexpr u8 kBothEngaged = 2;  // yaw dampers / pitch trims

// Runway guidance.
constexpr double kRunwayArmBelowKt = 45.0;
constexpr double kRunwayActiveAboveKt = 50.0;
constexpr double kRunwayActiveBelowFt = 30.0;
constexpr double kGuidanceEndBelowKt = 50.0;
constexpr u8 kRunwayArmed = 1;
constexpr u8 kRunwayActive = 2;

#define AP_MASTER_STATE(X)            \
    X(i32, ap_readout_deadline, 0)    \
    X(u8, ap_readout_clicked, 0)      \
    X(u8, ap_readout_armed, 0)        \
    X(u8, ap_runway_arming, 0)        \
    X(u8, ap_ias_mode_was_on, 0)

struct State {
    AP_MASTER_STATE(TARVENOL_STATE_MEMBER)
};
State st;
#define AP_LAW_REF(type, name, init) ::tarvenol::var_ref(#name, laws.name),
const VarRef st_vars[] = {AP_MASTER_STATE(TARVENOL_STATE_REF) AFS_CONTROL_LAW_STATE(AP_LAW_REF)};
const VarTableView st_table{st_vars, std::size(st_vars)};
void reset_private_state() {
    st = State{};
    laws = afs::LawState{};
}

Background background{panel("AUTOPILOT")};
SwitchImages<2> ap_1_lever{lever("AP 1"), "ap_1.off", "ap_1.on"};
SwitchImages<2> ap_2_lever{lever("AP 2"), "ap_2.off", "ap_2.on"};
Image channel_1_light{"channel_1_light", light(Tone::advisory, "1")};
Image channel_2_light{"channel_2_light", light(Tone::advisory, "2")};
Image ias_light{"ias_light", light(Tone::advisory, "IAS")};
Image land_light{"land_light", light(Tone::advisory, "LAND")};
Image loc_light{"loc_light", light(Tone::advisory, "LOC")};
Image takeoff_light{"takeoff_light", light(Tone::advisory, "T/O")};
Image cws_light{"cws_light", light(Tone::advisory, "CWS")};
NumberText pitch_wheel_shown;
Text pitch_wheel_readout{"pitch_wheel_readout", 6,
                         [](char* text, std::size_t size) {
                             const double v = kPitchWheelMax - shared.pitch_wheel;
                             pitch_wheel_shown.show(text, size, "%+.1f", v);
                             return v;
                         },
                         readout()};
Image pitch_wheel_window{"pitch_wheel_window", flag("PITCH")};

// --- Conditions ----------------------------------------------------------------------------------

bool bank_within_limits() { return shared.bank_angle >= -kMaxEngageBank && shared.bank_angle <= kMaxEngageBank; }
// Yaw dampers, pitch trims and bank: what every channel and autopilot needs.
bool engage_conditions() { return shared.yaw_damper_count != 0 && shared.pitch_trim_count != 0 && bank_within_limits(); }
bool channel_1_supplied() {
    const auto& s = shared;
    return (s.ac_bus_1_powered == 1 || s.batt_bus_powered == 1) && s.ess_equipment_level >= 1 &&
           s.hyd_green_status == 1 && s.norm_eqpt_ess_powered == 1;
}
bool channel_2_supplied() {
    const auto& s = shared;
    return (s.ac_bus_2_powered == 1 || s.dc_bus_powered == 1) && s.ess_equipment_level >= 1 &&
           s.hyd_yellow_status == 1 && s.norm_eqpt_bus2_powered == 1;
}

struct Station {
    bool glide_slope;
    bool localizer;
    bool signal;
    bool valid() const { return glide_slope && signal; }
};
Station nav_station() {
    const u32 flags = nav_station_flags();
    const double signal = read(sim::nav1_signal);
    return {(flags & kGlideSlopeBit) != 0, (flags & kLocalizerBit) != 0, signal != 0.0};
}

bool approach_armed(u8 mode) { return mode >= 1 && mode < kLand; }
bool land_mode(u8 mode) { return mode >= kLand; }
// Approach code for the flight directors alone or for an autopilot / both channels.
u8 approach_code(u8 fd_only, u8 with_ap) {
    const auto& s = shared;
    return (s.afs_channels == kBoth || s.ap_engaged != kNone) ? with_ap : fd_only;
}

// --- Controls ------------------------------------------------------------------------------------

void readout_clicked() { st.ap_readout_clicked = 1; }

void pitch_wheel_up() {
    // (A wheel value that is no number comes back at the top stop.)
    if (shared.pitch_wheel < kPitchWheelMax) shared.pitch_wheel += kPitchWheelStep;
    if (!(shared.pitch_wheel < kPitchWheelMax)) shared.pitch_wheel = kPitchWheelMax;
    readout_clicked();
}
void pitch_wheel_down() {
    if (shared.pitch_wheel > kPitchWheelMin)
        shared.pitch_wheel -= kPitchWheelStep;
    else
        shared.pitch_wheel = kPitchWheelMin;
    readout_clicked();
}

template <int Channel>
void channel_button() {
    auto& s = shared;
    if (!engage_conditions() || s.afs_channels != kNone) {
        s.afs_channels = kNone;
        return;
    }
    const bool supplied = Channel == kOne ? channel_1_supplied() : channel_2_supplied();
    if (supplied && s.ap_engaged == kNone) s.afs_channels = Channel;
}

template <int Ap>
u8& lever_of() {
    return Ap == kOne ? shared.ap_1_lever : shared.ap_2_lever;
}

template <int Ap>
void lever_up() {
    auto& s = shared;
    if (s.land_locked != 1) lever_of<Ap>() = 1;
    if (s.ias_pitch_mode == 1) {
        s.ias_pitch_mode = 0;
        afs::clear_ias_mode();
    }
    if (s.alt_mode == kAltHoldSelected || s.alt_mode == kAltHoldPresent) s.alt_mode = 0;
}

// A lever down, by hand or dropped because its conditions failed: its autopilot leaves command.
template <int Ap>
void lever_down() {
    auto& s = shared;
    constexpr u8 kOther = Ap == kOne ? kTwo : kOne;
    lever_of<Ap>() = 0;
    if (s.ap_engaged == Ap) {
        s.ap_engaged = kNone;
        laws.pitch_hold_engaged = 0;
        s.ap_cws_mode = 0;
        if (land_mode(s.appr_mode)) s.appr_mode = 0;
    }
    if (s.ap_engaged == kBoth) s.ap_engaged = kOther;
}

void ias_button() {
    auto& s = shared;
    if (s.afs_channels == kNone) return;
    if (s.ias_pitch_mode == 1) {
        s.ias_pitch_mode = 0;
        return;
    }
    if (land_mode(s.appr_mode)) {
        if (s.nav_captured == 1) return;
        s.ias_pitch_mode = 1;
    } else if (s.appr_mode >= kApprFd && s.gs_captured == 1) {
        s.ias_pitch_mode = 1;
        s.appr_mode = 0;
    } else {
        s.ias_pitch_mode = 1;
    }
    if (s.alt_mode != kAltArmed) s.alt_mode = 0;
    s.ap_cws_mode = 0;
    s.afs_go_around = 0;
    s.athr_mode = 0;
}

void loc_button() {
    auto& s = shared;
    const Station nav = nav_station();
    if (s.appr_mode >= kApprFd && s.appr_mode < kLand) {
        s.appr_mode = 0;
        return;
    }
    if (s.afs_channels != kNone && nav.valid() && s.land_locked == 0) s.appr_mode = approach_code(kApprFd, kApprAp);
}

void land_button() {
    auto& s = shared;
    const Station nav = nav_station();
    const bool failed = attitude_failed();
    if (s.appr_mode >= kLand && s.appr_mode <= kLandLast) {
        s.appr_mode = 0;
        return;
    }
    if (s.ap_engaged == kNone || !nav.valid() || !(s.radio_alt_ft > kLandSelectAboveFt) || failed) return;
    if (s.ap_engaged == kOne || s.ap_engaged == kTwo)
        s.appr_mode = kLand;
    else if (s.ap_engaged == kBoth && s.athr_mode == 1)
        s.appr_mode = kLandDual;
}

void takeoff_button() {
    auto& s = shared;
    if (s.afs_channels == kNone) return;
    if (s.afs_takeoff_mode == 1) {
        s.afs_takeoff_mode = 0;
    } else if (s.nav_mode == 0 && s.ap_engaged == kNone) {
        s.afs_takeoff_mode = 1;
        s.hdg_sel_mode = 0;
    }
}

// Control wheel steering: the autopilot stays in command with every mode cleared.
void clear_modes_for_cws() {
    auto& s = shared;
    s.appr_mode = 0;
    s.ias_pitch_mode = 0;
    s.nav_mode = 0;
    s.hdg_sel_mode = 0;
    s.alt_mode = 0;
    s.afs_takeoff_mode = 0;
}

void cws_button() {
    auto& s = shared;
    if (s.ap_engaged == kNone) return;
    if (s.ap_cws_mode == 1) {
        s.ap_cws_mode = 0;
    } else if (s.afs_go_around == 0 && (s.appr_mode < kLand || s.land_locked != 1)) {
        s.ap_cws_mode = 1;
        clear_modes_for_cws();
    }
}

// --- Tick ----------------------------------------------------------------------------------------

void pitch_wheel_readout_timer() {
    if (st.ap_readout_clicked == 1 && st.ap_readout_armed == 0) {
        st.ap_readout_deadline = deadline_in(kReadoutTicks);
        st.ap_readout_armed = 1;
    }
    const bool running = !is_due(st.ap_readout_deadline);
    if (!running) {
        st.ap_readout_clicked = 0;
        st.ap_readout_armed = 0;
    }
    pitch_wheel_readout.show(running);
    pitch_wheel_window.show(running);
}

void show_panel() {
    const auto& s = shared;
    const bool lit = s.batt_bus_powered == 1;
    ap_1_lever.show(s.ap_1_lever);
    ap_2_lever.show(s.ap_2_lever);
    channel_1_light.show(lit && (s.afs_channels == kOne || s.afs_channels == kBoth));
    channel_2_light.show(lit && (s.afs_channels == kTwo || s.afs_channels == kBoth));
    ias_light.show(lit && s.ias_pitch_mode == 1);
    land_light.show(lit && land_mode(s.appr_mode));
    loc_light.show(lit && approach_armed(s.appr_mode));
    takeoff_light.show(lit && s.afs_takeoff_mode == 1);
    cws_light.show(lit && s.ap_cws_mode == 1);
}

void mode_codes() {
    auto& s = shared;
    if (s.afs_takeoff_mode == 1)
        s.fd_lat_code = kLatTakeoff;
    else if (s.hdg_sel_mode == 1 || s.nav_mode == kNavGps)
        s.fd_lat_code = kLatHeading;
    else if (s.nav_mode == kNavVor)
        s.fd_lat_code = kLatNav;
    else if (s.appr_mode != 0)
        s.fd_lat_code = kLatLocalizer;
    else
        s.fd_lat_code = 0;

    const u8 alt = s.alt_mode;
    if (s.fd_basic_pitch == 1)
        s.fd_vert_code = kVertBasicPitch;
    else if (s.ias_pitch_mode == 1)
        s.fd_vert_code = kVertIas;
    else if (alt == kAltCapture || alt == kAltChange || alt == kAltTransition)
        s.fd_vert_code = kVertAltCapture;
    else if (alt == kAltHoldSelected || alt == kAltHoldPresent)
        s.fd_vert_code = kVertAltHold;
    else if (s.appr_mode != 0)
        s.fd_vert_code = kVertApproach;
    else
        s.fd_vert_code = 0;
}

void validate_channels() {
    auto& s = shared;
    if (!engage_conditions()) {
        s.afs_channels = kNone;
    } else {
        if (!channel_1_supplied() && s.afs_channels == kBoth) s.afs_channels = kTwo;
        if (!channel_2_supplied() && s.afs_channels == kBoth) s.afs_channels = kOne;
    }
    if (s.afs_channels == kNone) {
        s.ap_engaged = kNone;
        s.afs_takeoff_mode = 0;
        s.ias_pitch_mode = 0;
        afs::clear_ias_mode();
        s.nav_mode = 0;
        s.hdg_sel_mode = 0;
        s.alt_mode = 0;
        s.appr_mode = 0;
        s.nav_captured = 0;
    }
}

// Steps 6 and 7: a lever up engages its autopilot (or makes the pair dual on an approach); a lever
// whose conditions fail drops, and its autopilot leaves command with it.
template <int Ap>
void lever_tick() {
    auto& s = shared;
    constexpr u8 kOther = Ap == kOne ? kTwo : kOne;
    if (lever_of<Ap>() != 1) return;
    if (lever_of<kOther>() == 1 && s.appr_mode == 0 && s.afs_channels == Ap) lever_of<kOther>() = 0;
    const bool supplied = Ap == kOne ? channel_1_supplied() : channel_2_supplied();
    if (engage_conditions() && supplied) {
        if (s.ap_engaged == kNone) {
            s.ap_engaged = Ap;
            s.afs_channels = Ap;
            s.afs_takeoff_mode = 0;
        } else if (s.ap_engaged == kOther && s.appr_mode != 0) {
            s.ap_engaged = kBoth;
            s.afs_channels = kBoth;
        }
    } else {
        lever_down<Ap>();
    }
}

void single_dual_consistency() {
    auto& s = shared;
    if (s.ap_engaged == kOne || s.ap_engaged == kTwo) {
        s.afs_takeoff_mode = 0;
        if (s.appr_mode == kLandDual) s.appr_mode = kLand;
        if (s.appr_mode == 0) s.afs_channels = s.ap_engaged == kTwo ? kTwo : kOne;
    } else if (s.ap_engaged == kBoth) {
        s.afs_takeoff_mode = 0;
    } else if (s.ap_engaged == kNone) {
        if (s.afs_channels == kBoth) s.afs_channels = kOne;
        if (land_mode(s.appr_mode)) s.appr_mode = 0;
        s.ap_cws_mode = 0;
        laws.bank_hold = 0;
        laws.bank_target = 0;
        laws.pitch_hold_engaged = 0;
        s.flare_active = 0;
        s.flare_elevator = 0;
        s.land_locked = 0;
    }
}

void ias_housekeeping() {
    auto& s = shared;
    if (s.ias_pitch_mode == 1) {
        s.athr_mode = 0;
        if (approach_armed(s.appr_mode) && s.appr_mode >= kApprFd && s.gs_captured == 1) s.appr_mode = 0;
        if (!(land_mode(s.appr_mode) && s.nav_captured == 1)) {
            s.ap_cws_mode = 0;
            s.afs_go_around = 0;
        }
    } else {
        laws.ias_mode_engaged = 0;
        // Pitch hold re-engages at the vertical speed the IAS mode left.
        if (st.ap_ias_mode_was_on == 1) laws.pitch_hold_engaged = 0;
    }
    st.ap_ias_mode_was_on = s.ias_pitch_mode;
}

void land_reevaluation() {
    auto& s = shared;
    if (!land_mode(s.appr_mode) || s.ap_engaged == kNone) return;
    const Station nav = nav_station();
    if (!nav.valid() || attitude_failed()) return;
    const bool both_pairs = s.yaw_damper_count == kBothEngaged && s.pitch_trim_count == kBothEngaged;
    if (s.ap_engaged == kBoth && s.athr_mode == 1 && both_pairs) {
        s.appr_mode = kLandDual;
    } else if (s.ap_engaged != kBoth || s.radio_alt_ft > kLandDualCheckAboveFt || !both_pairs) {
        if (s.yaw_damper_count != 0 && s.pitch_trim_count != 0) s.appr_mode = kLand;
    } else {
        s.appr_mode = kLandDual;
    }
}

void approach_reevaluation() {
    auto& s = shared;
    if (!approach_armed(s.appr_mode)) return;
    const Station nav = nav_station();
    if (s.afs_channels != kNone && nav.valid())
        s.appr_mode = approach_code(kApprFd, kApprAp);
    else if (s.afs_channels != kNone && nav.localizer && nav.signal)
        s.appr_mode = approach_code(kLocFd, kLocAp);
}

void approach_coupling(bool airborne) {
    auto& s = shared;
    if (s.appr_mode < kApprAp || !airborne) {
        send(key::ap_approach_hold_off);
        s.appr_coupled = 0;
        return;
    }
    if (s.nav_captured == 1) send(key::ap_lateral_hold_off);
    if (!is_on(read(sim::gps_drives_nav))) send(key::ap_hold_off_1011b);
    send(key::ap_approach_hold_on);
    s.appr_coupled = 1;
}

void takeoff_mode() {
    auto& s = shared;
    if (s.afs_takeoff_mode != 1) return;
    if (s.nav_mode != kNavVor && s.ap_engaged == kNone && s.afs_channels != kNone)
        s.hdg_sel_mode = 0;
    else
        s.afs_takeoff_mode = 0;
}

void cws_mode() {
    auto& s = shared;
    if (s.ap_cws_mode != 1) return;
    if (s.ap_engaged != kNone) {
        clear_modes_for_cws();
        s.nav_captured = 0;
    } else {
        s.ap_cws_mode = 0;
    }
}

// The simulator's mode holds off; the master itself only where asked.
void send_cancel_set() {
    send(key::ap_lateral_hold_off);
    send(key::ap_heading_hold_off);
    send(key::ap_hold_off_1011b);
    send(key::ap_approach_hold_off);
    send(key::ap_hold_off_10116);
    send(key::ap_hold_off_10118);
}
void send_master_off_and_cancel_set() {
    send(key::ap_master_off);
    send(key::ap_hold_off_10118);
    send(key::ap_lateral_hold_off);
    send(key::ap_heading_hold_off);
    send(key::ap_hold_off_1011b);
    send(key::ap_approach_hold_off);
    send(key::ap_hold_off_10116);
}

void disconnect_autopilot() {
    shared.ap_engaged = kNone;
    shared.ap_1_lever = 0;
    shared.ap_2_lever = 0;
    shared.sim_ap_seen_on = 0;
}

void disconnect(bool sim_ap_on, bool airborne, bool on_ground) {
    auto& s = shared;
    if (sim_ap_on && s.ap_engaged != kNone) return;
    afs::clear_holds();
    send_cancel_set();
    if (!sim_ap_on && s.sim_ap_seen_on == 1) disconnect_autopilot();
    const bool failure = attitude_failed() || read(sim::fail_heading) == kFailed;
    if (failure || s.norm_eqpt_ess_powered == 0) disconnect_autopilot();
    if (airborne && s.yaw_damper_count < kBothEngaged) send(key::yaw_damper_off);
    if (on_ground || s.yaw_damper_count == kBothEngaged) send(key::yaw_damper_on);
}

bool lateral_mode_holds() {
    const auto& s = shared;
    if (s.hdg_sel_mode == 1) return true;
    return (s.nav_mode != 0 || s.appr_mode != 0) &&
           ((s.nav_mode != kNavVor && s.appr_mode < kApprAp) || s.nav_captured == 1);
}

void basic_modes(bool sim_ap_on) {
    auto& s = shared;
    if (!sim_ap_on) {
        s.basic_roll_mode = 0;
        s.basic_pitch_mode = 0;
        s.fd_basic_pitch = s.afs_channels != kNone && s.ap_engaged == kNone && s.ias_pitch_mode == 0 &&
                           s.alt_mode <= kAltArmed && s.afs_go_around == 0 &&
                           !(s.appr_mode != 0 && s.gs_captured != 0);
        return;
    }
    s.basic_roll_mode = lateral_mode_holds() ? 0 : 1;
    if (s.ias_pitch_mode == 0 && s.alt_mode < kAltCapture && s.gs_captured == 0 && s.afs_go_around != 1)
        s.basic_pitch_mode = 1;
    else
        s.basic_pitch_mode = s.appr_mode >= kApprAp && s.gs_captured == 0;
}

void runway_guidance(bool on_ground, double ias) {
    auto& s = shared;
    const bool powered = (s.batt_bus_powered == 1 || s.ac_bus_1_powered == 1) && s.ess_equipment_level != 0;
    if (!powered || s.afs_channels == kNone || !nav_station().glide_slope) {
        s.runway_guidance = 0;
        st.ap_runway_arming = 0;
        return;
    }
    if (land_mode(s.appr_mode)) {
        s.runway_guidance = on_ground && ias > kRunwayActiveAboveKt;
        return;
    }
    if (on_ground && ias < kRunwayArmBelowKt) st.ap_runway_arming = kRunwayArmed;
    const bool lift_off = s.radio_alt_ft < kRunwayActiveBelowFt && ias > kRunwayActiveAboveKt;
    if (st.ap_runway_arming == kRunwayArmed && lift_off) {
        st.ap_runway_arming = kRunwayActive;
        s.runway_guidance = 1;
    } else if (st.ap_runway_arming == kRunwayActive && !lift_off) {
        st.ap_runway_arming = 0;
        s.runway_guidance = 0;
    }
}

void tick() {
    auto& s = shared;
    pitch_wheel_readout_timer();                // 1
    show_panel();                               // 2
    mode_codes();                               // 3
    validate_channels();                        // 4, 5
    lever_tick<kOne>();                         // 6
    lever_tick<kTwo>();                         // 7
    single_dual_consistency();                  // 8
    ias_housekeeping();                         // 9
    land_reevaluation();                        // 10
    approach_reevaluation();                    // 11
    const double ground_flag = read(sim::on_ground);
    const bool airborne = is_off(ground_flag);
    const bool on_ground = is_on(ground_flag);
    approach_coupling(airborne);                // 12
    takeoff_mode();                             // 13
    cws_mode();                                 // 14
    if (s.ap_engaged != kNone) {                // 15
        send(key::ap_master_on);
        send(key::yaw_damper_on);
    } else {
        send_master_off_and_cancel_set();
    }
    // 16: the simulator's autopilot state.
    const bool sim_ap_on = is_on(read(sim::ap_master));
    read(sim::ap_state_108);
    read(sim::ap_heading_hold);
    read(sim::ap_state_105);
    read(sim::ap_state_111);
    read(sim::ap_state_79);
    read(sim::aileron_pos);
    read(sim::ap_state_107);
    read(sim::on_ground);
    read(sim::vs_ms256);
    if (sim_ap_on) s.sim_ap_seen_on = 1;
    if (s.afs_channels == kNone) send_master_off_and_cancel_set();
    disconnect(sim_ap_on, airborne, on_ground);  // 17 (the speed-zone flag it clears is the IAS zone)
    basic_modes(sim_ap_on);                     // 18
    afs::run_laws(sim_ap_on, airborne, on_ground);  // 19
    const double ias = read(sim::ias_kt);
    runway_guidance(on_ground, ias);            // 20
    afs::run_flare(on_ground);                  // 21
    if (ias < kGuidanceEndBelowKt) {            // 22
        s.runway_guidance = 0;
        s.flare_elevator = 0;
    }
}

constexpr std::array areas{
    area<&pitch_wheel_up>("pitch_wheel.up", Cursor::up, Repeat::while_held),
    area<&pitch_wheel_down>("pitch_wheel.down", Cursor::down, Repeat::while_held),
    area<&readout_clicked>("pitch_wheel.readout", Cursor::hand),
    area<&channel_button<kOne>>("channel_1", Cursor::hand),
    area<&channel_button<kTwo>>("channel_2", Cursor::hand),
    area<&lever_up<kOne>>("ap_1.on", Cursor::up),
    area<&lever_down<kOne>>("ap_1.off", Cursor::down),
    area<&lever_up<kTwo>>("ap_2.on", Cursor::up),
    area<&lever_down<kTwo>>("ap_2.off", Cursor::down),
    area<&ias_button>("ias", Cursor::hand),
    area<&land_button>("land", Cursor::hand),
    area<&loc_button>("loc", Cursor::hand),
    area<&takeoff_button>("takeoff", Cursor::hand),
    area<&cws_button>("cws", Cursor::hand),
};

}  // namespace

TARVENOL_GAUGE(ap_master, "tarvenol ap_master_t418", 308, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, ap_1_lever, ap_2_lever, channel_1_light, channel_2_light, ias_light,
               land_light, loc_light, takeoff_light, cws_light, pitch_wheel_readout, pitch_wheel_window);
