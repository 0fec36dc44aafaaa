// tarvenol idpp_t418: the flight mode annunciator — one legend per mode and mode phase of the
// automatic flight system, lit from the mode bytes, and the flashing autothrottle disconnect
// legend, whose end completes the autothrottle's disconnection (SPEED mode off, the tripped arm
// switch back to its rest byte).
#include "afs/annunciators.h"
#include "afs/modes.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace afs;

constexpr u32 kDisconnectFlashTicks = 80;
constexpr u8 kArmOff = 2;              // ats_arm_sw once switched or tripped off
constexpr u8 kSpeedDisconnected = 2;   // athr_mode while the speed mode drops out
constexpr u8 kSpeedEngaged = 1;
constexpr u8 kLandLockedOn = 1;

#define IDPP_STATE(X)                      \
    X(u8, ats_disc_request, 0)             \
    X(u8, ats_disc_flash_running, 0)       \
    X(u8, ats_disc_flash_lit, 0)           \
    X(u32, ats_disc_flash_start, 0)        \
    X(u32, ats_disc_flash_phase, 0)
TARVENOL_PRIVATE_STATE(IDPP_STATE)

// The legends, in rows as the annunciator prints them.
namespace lg {
enum Legend : std::size_t {
    kLampTest, kBasicRoll, kAutopilot, kBasicPitch, kCws, kSpeed, kTakeoff, kHdg, kAltHold, kAltCapture,
    kAltArmed, kN1, kNavArmed, kNavTrack, kGsTrack, kGsArmed, kIas, kLandArmed, kLandActive, kFlare, kRollOut,
    kGoAround, kApproachFd, kApproachAp, kLandSingle, kLandDualLegend, kLegendCount
};
}  // namespace lg

constexpr int kCols = 6, kW = 380, kCellW = kW / kCols, kCellH = 26, kTop = 4;
constexpr Look legend(Tone tone, const char* text, int i) {
    return light(tone, text, at((i % kCols) * kCellW + 2, kTop + (i / kCols) * kCellH, kCellW - 4, kCellH - 4));
}

Background background{panel(nullptr, kTop + 5 * kCellH + 4)};
Lights<lg::kLegendCount> legends{
    std::array<Look, lg::kLegendCount>{
        legend(Tone::white, "TEST", lg::kLampTest), legend(Tone::advisory, "ROLL", lg::kBasicRoll),
        legend(Tone::advisory, "AP", lg::kAutopilot), legend(Tone::advisory, "PITCH", lg::kBasicPitch),
        legend(Tone::advisory, "CWS", lg::kCws), legend(Tone::advisory, "SPEED", lg::kSpeed),
        legend(Tone::advisory, "T/O", lg::kTakeoff), legend(Tone::advisory, "HDG", lg::kHdg),
        legend(Tone::advisory, "ALT", lg::kAltHold), legend(Tone::advisory, "ALT*", lg::kAltCapture),
        legend(Tone::blue, "ALT", lg::kAltArmed), legend(Tone::advisory, "N1", lg::kN1),
        legend(Tone::blue, "NAV/LOC", lg::kNavArmed), legend(Tone::advisory, "NAV/LOC", lg::kNavTrack),
        legend(Tone::advisory, "G/S", lg::kGsTrack), legend(Tone::blue, "G/S", lg::kGsArmed),
        legend(Tone::advisory, "IAS", lg::kIas), legend(Tone::blue, "LAND", lg::kLandArmed),
        legend(Tone::advisory, "LAND", lg::kLandActive), legend(Tone::advisory, "FLARE", lg::kFlare),
        legend(Tone::advisory, "ROLL OUT", lg::kRollOut), legend(Tone::advisory, "G/A", lg::kGoAround),
        legend(Tone::white, "APP FD", lg::kApproachFd), legend(Tone::white, "APP AP", lg::kApproachAp),
        legend(Tone::white, "LAND 1", lg::kLandSingle), legend(Tone::white, "LAND 2", lg::kLandDualLegend)},
    "test", "basic_roll", "autopilot", "basic_pitch", "cws", "speed", "takeoff", "hdg", "alt_hold", "alt_capture",
    "alt_armed", "n1", "nav_armed", "nav_track", "gs_track", "gs_armed", "ias", "land_armed", "land", "flare",
    "roll_out", "go_around", "approach_fd", "approach_ap", "land_single", "land_dual"};
Image disconnect_legend{"ats_disconnect", light(Tone::caution, "A/THR DISC", at(4 * kCellW + 2, kTop + 4 * kCellH,
                                                                                 2 * kCellW - 4, kCellH - 4))};

Flash flash() {
    return Flash(st.ats_disc_flash_running, st.ats_disc_flash_lit, st.ats_disc_flash_start, st.ats_disc_flash_phase);
}

bool in_range(u8 v, u8 lo, u8 hi) { return v >= lo && v <= hi; }

// Each legend's mode condition.
std::array<bool, lg::kLegendCount> mode_conditions() {
    const auto& s = shared;
    const bool approach = s.appr_mode != 0;
    const bool not_locked = s.land_locked != kLandLockedOn;
    const bool nav_or_approach = s.nav_mode == kNavVor || approach;
    std::array<bool, lg::kLegendCount> c{};
    c[lg::kLampTest] = false;
    c[lg::kBasicRoll] = s.basic_roll_mode == 1;
    c[lg::kAutopilot] = is_on(read(sim::ap_master));
    c[lg::kBasicPitch] = (s.basic_pitch_mode == 1 && s.ap_cws_mode != 1) || s.fd_basic_pitch == 1;
    c[lg::kCws] = s.ap_cws_mode == 1;
    c[lg::kSpeed] = s.athr_mode == kSpeedEngaged;
    c[lg::kTakeoff] = s.afs_takeoff_mode == 1;
    c[lg::kHdg] = s.hdg_sel_mode == 1;
    c[lg::kAltHold] = s.alt_mode == kAltHoldSelected || s.alt_mode == kAltHoldPresent;
    c[lg::kAltCapture] = s.alt_mode == kAltCapture || s.alt_mode == kAltChange || s.alt_mode == kAltTransition;
    c[lg::kAltArmed] = s.alt_mode == kAltArmed;
    c[lg::kN1] = s.ats_n1_mode == 1;
    c[lg::kNavArmed] = nav_or_approach && s.nav_captured != 1 && not_locked;
    c[lg::kNavTrack] = ((nav_or_approach && s.nav_captured == 1) || s.nav_mode == kNavGps) && not_locked;
    c[lg::kGsTrack] = approach && s.gs_captured != 0 && not_locked;
    c[lg::kGsArmed] = approach && s.gs_captured == 0 && not_locked;
    c[lg::kIas] = s.ias_pitch_mode == 1;
    c[lg::kLandArmed] = s.appr_mode >= kLand && not_locked;
    c[lg::kLandActive] = s.appr_mode >= kLand && s.land_locked == kLandLockedOn;
    c[lg::kFlare] = s.flare_active == 1;
    c[lg::kRollOut] = s.runway_guidance == 1;
    c[lg::kGoAround] = s.afs_go_around == 1;
    c[lg::kApproachFd] = in_range(s.appr_mode, 1, kApprAp - 1);
    c[lg::kApproachAp] = in_range(s.appr_mode, kApprAp, kLand - 1);
    c[lg::kLandSingle] = in_range(s.appr_mode, kLand, kLandDual - 1);
    c[lg::kLandDualLegend] = s.appr_mode >= kLandDual;
    return c;
}

// The autothrottle disconnect: flashes for 80 ticks, then the speed mode and the arm switch are
// put to rest.
void disconnect_annunciation(bool test) {
    auto& s = shared;
    Flash f = flash();
    if (s.ats_arm_sw == kArmOff || s.athr_mode == kSpeedDisconnected) st.ats_disc_request = 1;
    if (s.batt_bus_powered != 1) {
        st.ats_disc_request = 0;
        f.clear();
        disconnect_legend.show(false);
        return;
    }
    const u32 now = present_tick();
    if (st.ats_disc_request == 1 && !f.running()) f.start(now);
    if (f.lasted(now, kDisconnectFlashTicks)) {
        f.clear();
        st.ats_disc_request = 0;
        s.athr_mode = 0;
        if (s.ats_arm_sw == kArmOff) s.ats_arm_sw = 0;
        disconnect_legend.show(test);
        return;
    }
    f.step(now);
    if (f.running())
        disconnect_legend.show(f.lit() || test);
    else if (st.ats_disc_request == 0)
        disconnect_legend.show(test);
}

void tick() {
    const auto& s = shared;
    const bool powered = s.batt_bus_powered == 1;
    const bool test = s.ann_lt_test == 1;
    const auto conditions = mode_conditions();
    for (std::size_t i = 0; i < lg::kLegendCount; ++i) legends[i].show(powered && (conditions[i] || test));
    disconnect_annunciation(powered && test);
}

}  // namespace

TARVENOL_GAUGE(idpp, "tarvenol idpp_t418", 190, &tick_callback<&tick>, no_areas, st_table, &reset_private_state,
               background, legends, disconnect_legend);
