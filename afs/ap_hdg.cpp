// tarvenol ap_hdg_t418: the heading panel — the selected heading on its drums, the HDG and NAV
// buttons, heading select and NAV (on a VOR, on a localizer, or following the GPS) flown through
// the simulator's heading, NAV and approach holds.
#include "afs/control_laws.h"
#include "afs/modes.h"
#include "afs/selection.h"
#include "module/drums.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::afs;
using afs::laws;

constexpr i32 kFineStep = 1;
constexpr i32 kCoarseStep = 10;
constexpr double kDegreesPerRadian = 57.29577866666166;
// Below this approach code the NAV panel keeps the simulator's approach hold off.
constexpr u8 kApproachHoldFrom = kApprAp;

#define AP_HDG_STATE(X)          \
    X(u8, hdg_hundreds_digit, 0, within(0, 9)) \
    X(u8, hdg_tens_digit, 0, within(0, 9))     \
    X(u8, hdg_units_digit, 0, within(0, 9))
TARVENOL_PRIVATE_STATE(AP_HDG_STATE)

DigitDrum hundreds_drum;
DigitDrum tens_drum;
DigitDrum units_drum_;

Background background{panel("HEADING")};
MovingImage hundreds{"hdg_hundreds_drum", nullptr,
                     [] { return hundreds_drum.step(st.hdg_hundreds_digit, kHeadingHundredsPositions); }, drum(kHeadingHundredsFaces)};
MovingImage tens{"hdg_tens_drum", nullptr, [] { return tens_drum.step(st.hdg_tens_digit); }, drum()};
MovingImage units{"hdg_units_drum", nullptr, [] { return units_drum_.step(st.hdg_units_digit); }, drum()};
Image nav_light{"nav_light", light(Tone::advisory, "NAV")};
Image hdg_light{"hdg_light", light(Tone::advisory, "HDG")};

void reset() {
    reset_private_state();
    hundreds_drum = DigitDrum{};
    tens_drum = DigitDrum{};
    units_drum_ = DigitDrum{};
}

// --- Controls ------------------------------------------------------------------------------------

// The knob turns the selection round the compass; a selection off the card comes back onto it.
void turn(i32 degrees) { shared.hdg_sel = wrap_degrees(std::int64_t{shared.hdg_sel} + degrees); }

void nav_button() {
    auto& s = shared;
    if (s.afs_channels == 0) return;
    if (s.nav_mode != 0) {
        s.nav_mode = 0;
        return;
    }
    if (s.afs_takeoff_mode != 0 || s.appr_mode >= kLand) return;
    if (s.appr_mode == 0)
        s.nav_mode = is_on(read(sim::gps_drives_nav)) ? kNavGps : kNavVor;
    else if ((nav_station_flags() & kLocalizerBit) != 0)
        s.nav_mode = kNavVor;
    else
        return;
    s.ap_cws_mode = 0;
    s.afs_go_around = 0;
}

void hdg_button() {
    auto& s = shared;
    if (s.afs_channels == 0) return;
    if (s.hdg_sel_mode == 1) {
        s.hdg_sel_mode = 0;
        return;
    }
    if (s.appr_mode >= kLand) {
        if (s.nav_captured == 1) return;
        s.hdg_sel_mode = 1;
        s.appr_mode = 0;
    } else {
        if (s.nav_captured == 1) {
            s.nav_mode = 0;
            s.nav_captured = 0;
        }
        s.hdg_sel_mode = 1;
        s.appr_mode = 0;
        s.afs_takeoff_mode = 0;
    }
    s.ap_cws_mode = 0;
    s.afs_go_around = 0;
}

// --- Tick ----------------------------------------------------------------------------------------

void send_heading_ref(i32 degrees) { send_signed(key::ap_heading_ref, degrees); }

void nav_tick(bool sim_ap_on) {
    auto& s = shared;
    const bool gps = is_on(read(sim::gps_drives_nav));  // 6
    const u32 station = nav_station_flags();
    if (s.nav_mode == 0) return;  // 7
    laws.roll_recapture_req = 1;
    if (s.afs_takeoff_mode == 1) {
        s.nav_mode = 0;
        return;
    }
    if (!gps && (station & (kGlideSlopeBit | kLocalizerBit)) != 0) {
        if (s.nav_mode == kNavGps) s.nav_mode = kNavVor;
        send(key::ap_hold_off_1011b);
        send(key::ap_lateral_hold_off);
        if (sim_ap_on) {
            send(key::ap_approach_hold_on);
            s.nav_loc_coupled = 1;
        }
    } else if (!gps) {
        s.nav_mode = kNavVor;
        send(key::ap_hold_off_1011b);
        if (sim_ap_on && s.nav_captured == 1) {
            send(key::ap_lateral_hold_off);
            s.hdg_sel_mode = 0;
            send_heading_ref(s.fd_track_cmd);
            send(key::ap_heading_hold_on);
        }
    } else {
        s.nav_mode = kNavGps;
        send(key::ap_lateral_hold_off);
        if (s.hdg_sel_mode == 0) s.hdg_ref = truncate<i32>(read(sim::gps_track_rad) * kDegreesPerRadian);
        if (sim_ap_on) send(key::ap_nav_gps_hold_on);
    }
}

void tick() {
    auto& s = shared;
    if (s.hdg_sel_mode == 1) {  // 1
        s.hdg_ref = s.hdg_sel;
        send_heading_ref(s.hdg_ref);
    }
    clamp_back<i32>(s.hdg_sel, 0, kDegreesInCircle - 1);  // 2
    st.hdg_hundreds_digit = digit_of(s.hdg_sel, 100);
    st.hdg_tens_digit = digit_of(s.hdg_sel, 10);
    st.hdg_units_digit = digit_of(s.hdg_sel, 1);
    const bool lit = s.batt_bus_powered == 1;
    nav_light.show(lit && s.nav_mode != 0);
    hdg_light.show(lit && s.hdg_sel_mode == 1);
    const bool sim_ap_on = is_on(read(sim::ap_master));  // 3
    if (s.hdg_sel_mode == 1) {  // 4
        laws.roll_recapture_req = 1;
        s.afs_takeoff_mode = 0;
        s.ap_cws_mode = 0;
        s.afs_go_around = 0;
        if (s.nav_captured == 1) s.hdg_sel_mode = 0;
        if (sim_ap_on) {
            send(key::ap_heading_hold_on);
            send(key::ap_lateral_hold_off);
        }
    } else if (s.nav_captured != 1) {
        send(key::ap_heading_hold_off);
    }
    if (s.nav_captured == 1 && s.nav_mode == kNavVor) s.hdg_sel_mode = 0;  // 5
    if (sim_ap_on && s.hdg_sel_mode == 1) send_heading_ref(s.hdg_ref);
    nav_tick(sim_ap_on);  // 6, 7
    if (s.nav_mode == 0) {  // 8
        if (s.appr_mode < kApproachHoldFrom) {
            send(key::ap_hold_off_1011b);
            send(key::ap_approach_hold_off);
        }
        s.nav_loc_coupled = 0;
        if (s.hdg_sel_mode == 0) send(key::ap_heading_hold_off);
    }
    if (s.nav_mode == 0 && s.appr_mode == 0) s.nav_captured = 0;  // 9
}

constexpr std::array areas{
    area<[] { turn(-kFineStep); }>("hdg_sel.down_1", Cursor::down, Repeat::while_held),
    area<[] { turn(kFineStep); }>("hdg_sel.up_1", Cursor::up, Repeat::while_held),
    area<[] { turn(-kCoarseStep); }>("hdg_sel.down_10", Cursor::down, Repeat::while_held),
    area<[] { turn(kCoarseStep); }>("hdg_sel.up_10", Cursor::up, Repeat::while_held),
    area<&nav_button>("nav", Cursor::hand),
    area<&hdg_button>("hdg", Cursor::hand),
};

}  // namespace

TARVENOL_GAUGE(ap_hdg, "tarvenol ap_hdg_t418", 102, &tick_callback<&tick>, areas, st_table, &reset, background,
               hundreds, tens, units, nav_light, hdg_light);
