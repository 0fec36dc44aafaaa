// tarvenol spd_brk_lev_t418: the speed brake lever with the ground spoiler arming. The lever sets the
// spoilers a step at a time while there is hydraulic pressure; armed on the ground it deploys the
// ground spoilers on a rejected take-off, armed in flight on touchdown.
#include "engines/engines.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::eng;

constexpr int kRetracted = 0;
constexpr int kLeverStep = 1000;
constexpr int kFull = 16000;
constexpr int kLastStepToFull = 15000;   // a lever beyond this extends to full
constexpr int kAutoDeployed = 16001;     // the lever as the automatic function leaves it
constexpr int kArmBelow = 2000;          // the lever arms only near retracted
constexpr double kSpoilersOut = 16000.0;  // simulator spoilers at or beyond: the lever follows
constexpr double kSpoilersIn = 1.0;       // ... at or below after an automatic deployment: reset

// Ground spoiler state and arming phase.
constexpr u8 kNotArmed = 0;
constexpr u8 kArmed = 1;
constexpr u8 kDeployed = 2;
constexpr u8 kNoPhase = 0;
constexpr u8 kTakeOffPhase = 1;  // armed on the ground
constexpr u8 kLandingPhase = 2;  // armed in flight

constexpr u32 kRejectPeakN1 = 85;        // a take-off run reached this N1 ...
constexpr double kRejectThrottle = 0.6;  // ... and engine 1's thrust lever came back below this

// Lever image offsets: lever / 327.6 and lever / 364 for its two parts, 50 - lever while armed or
// below retracted.
constexpr double kUpperScale = 327.6;
constexpr double kLowerScale = 364.0;
constexpr double kArmedOffset = 50.0;

#define SPD_BRK_STATE(X)                       \
    X(i16, spd_brk_lever, 0)                   \
    X(u8, gnd_spoiler_state, kNotArmed)        \
    X(u8, gnd_spoiler_arming_phase, kNoPhase)  \
    X(u32, gnd_spoiler_peak_n1, 0)
TARVENOL_PRIVATE_STATE(SPD_BRK_STATE)

bool armed_or_below() { return st.gnd_spoiler_state == kArmed || st.spd_brk_lever < kRetracted; }
double offset(double scale) {
    return armed_or_below() ? kArmedOffset - st.spd_brk_lever : st.spd_brk_lever / scale;
}

Background background{panel("SPEED BRAKE")};
MovingImage lever_upper{"spd_brk_lever_upper", nullptr, [] { return offset(kUpperScale); }};
MovingImage lever_lower{"spd_brk_lever_lower", nullptr, [] { return offset(kLowerScale); }};
Image armed{"gnd_spoiler_armed_light", light(Tone::advisory, "ARM")};

void clear_ground_spoilers() {
    st.gnd_spoiler_state = kNotArmed;
    st.gnd_spoiler_arming_phase = kNoPhase;
    st.gnd_spoiler_peak_n1 = 0;
}

void deploy_ground_spoilers() {
    st.gnd_spoiler_state = kDeployed;
    send(key::spoilers_deploy);
    st.gnd_spoiler_peak_n1 = 0;
    st.spd_brk_lever = kAutoDeployed;
}

void tick() {
    const double spoilers = read(sim::spoiler_handle);
    if (spoilers >= kSpoilersOut) st.spd_brk_lever = kAutoDeployed;
    if (st.spd_brk_lever == kAutoDeployed && spoilers <= kSpoilersIn) {
        st.spd_brk_lever = kRetracted;
        clear_ground_spoilers();
    }
    const bool on_ground = is_on(read(sim::on_ground));
    const double n1 = read(sim::eng1_n1_pct);
    const double throttle = read(sim::eng1_throttle_lever);
    if (st.gnd_spoiler_state == kArmed && on_ground) {
        const u32 seen = truncate<u32>(n1);
        if (seen > st.gnd_spoiler_peak_n1) st.gnd_spoiler_peak_n1 = seen;
    }
    const bool rejected_take_off = st.gnd_spoiler_state == kArmed && on_ground &&
                                   st.gnd_spoiler_arming_phase == kTakeOffPhase &&
                                   st.gnd_spoiler_peak_n1 >= kRejectPeakN1 && throttle < kRejectThrottle;
    if (rejected_take_off && spoiler_permission()) deploy_ground_spoilers();
    if (on_ground && st.gnd_spoiler_arming_phase == kLandingPhase && spoiler_permission()) deploy_ground_spoilers();
    armed.show(st.gnd_spoiler_state == kArmed);
}

// A step of the lever disarms the ground spoilers and, with pressure, sets the spoilers to it.
void move_lever(int to) {
    clear_ground_spoilers();
    st.spd_brk_lever = static_cast<i16>(to);
    if (spoiler_permission() && st.spd_brk_lever >= kRetracted) send(key::spoilers_set, static_cast<u32>(st.spd_brk_lever));
}

void extend() {
    const int lever = st.spd_brk_lever;
    move_lever(lever > kLastStepToFull ? kFull : lever + kLeverStep);
}
void retract() {
    const int lever = st.spd_brk_lever;
    move_lever(lever < kLeverStep ? kRetracted : lever - kLeverStep);
}

void arm() {
    if (!(st.spd_brk_lever < kArmBelow)) return;
    st.spd_brk_lever = kRetracted;
    if (!spoiler_permission()) return;
    st.gnd_spoiler_state = kArmed;
    const double on_ground = read(sim::on_ground);
    if (is_on(on_ground)) st.gnd_spoiler_arming_phase = kTakeOffPhase;
    if (is_off(on_ground)) st.gnd_spoiler_arming_phase = kLandingPhase;
}

constexpr std::array areas{
    area<&retract>("spd_brk_lever.retract", Cursor::up, Repeat::while_held),
    area<&extend>("spd_brk_lever.extend", Cursor::down, Repeat::while_held),
    area<&arm>("gnd_spoiler.arm", Cursor::hand),
};

}  // namespace

TARVENOL_GAUGE(spd_brk_lev, "tarvenol spd_brk_lev_t418", 33, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, lever_upper, lever_lower, armed);
