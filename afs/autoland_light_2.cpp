// tarvenol autoland_light_2_t418: the autoland warning light. In LAND below 200 ft it watches the
// approach — localizer and glide-slope deviations, the NAV signal and a flare that lasts too long —
// and the autopilot itself; a failure flashes the light until it is acknowledged by a click (for an
// approach failure), a go-around, the autopilot's disconnection or the touchdown.
#include "afs/annunciators.h"
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

using namespace afs;

constexpr double kWatchBelowFt = 200.0;  // radio altitude below which LAND is watched
constexpr double kFlareLimitS = 17.0;
constexpr double kSecondsPerDay = 86400.0;

// Warning states.
constexpr u8 kNone = 0;
constexpr u8 kApproachFailure = 1;
constexpr u8 kAutopilotLost = 2;
constexpr u8 kOnGround = 255;

#define AUTOLAND_WARN_STATE(X)              \
    X(u8, autoland_land_seen, 0)            \
    X(u8, autoland_ack, 0)                  \
    X(u8, autoland_flare_timer_armed, 0)    \
    X(f64, autoland_flare_deadline_s, 0.0)  \
    X(u8, autoland_flash_running, 0)        \
    X(u8, autoland_flash_lit, 0)            \
    X(u32, autoland_flash_start, 0)         \
    X(u32, autoland_flash_phase, 0)
TARVENOL_PRIVATE_STATE(AUTOLAND_WARN_STATE)

Background background{panel(nullptr, 56)};
Image warning_light{"autoland_light", light(Tone::warning, "AUTOLAND")};

Flash flash() {
    return Flash(st.autoland_flash_running, st.autoland_flash_lit, st.autoland_flash_start, st.autoland_flash_phase);
}

// The flare timer: due 17 s after it is armed on the time of day, across midnight too (the
// deadline wraps by a whole day and is reached once the clock is at most half a day past it).
void arm_flare_timer(double time_of_day) {
    if (!(time_of_day >= 0.0 && time_of_day < kSecondsPerDay)) return;  // no clock: not armed
    double deadline = time_of_day + kFlareLimitS;
    if (deadline >= kSecondsPerDay) deadline -= kSecondsPerDay;
    st.autoland_flare_deadline_s = deadline;
    st.autoland_flare_timer_armed = 1;
}
bool flare_timer_reached(double time_of_day) {
    double past = time_of_day - st.autoland_flare_deadline_s;
    if (past < 0.0) past += kSecondsPerDay;
    return past >= 0.0 && past < kSecondsPerDay / 2;
}

void acknowledge() {
    st.autoland_ack = 1;
    st.autoland_land_seen = 0;
    shared.autoland_warn_state = kNone;
}

// The approach while LAND is watched: the first failure seen sets the warning.
void watch_approach(double nav_signal) {
    const auto& s = shared;
    const double agl_ft = height_above_ground_ft();
    if (beyond(read(sim::nav1_cdi), kLocLimit) && s.loc_captured == 1 && s.radio_alt_ft > kLocWatchAboveFt) {
        shared.autoland_warn_state = kApproachFailure;
    } else if ((beyond(read(sim::nav1_gsi), kGsLimitLow) && agl_ft > kGsLowFromFt && agl_ft <= kGsLowToFt &&
                s.gs_captured == kGsSecondCapture) ||
               nav_signal <= 0.0) {
        shared.autoland_warn_state = kApproachFailure;
    } else if (s.flare_active == 1) {
        const double time_of_day = read(sim::time_of_day);
        if (st.autoland_flare_timer_armed == 0) arm_flare_timer(time_of_day);
        if (st.autoland_flare_timer_armed == 1 && flare_timer_reached(time_of_day))
            shared.autoland_warn_state = kApproachFailure;  // watched only while airborne
    }
}

void tick() {
    auto& s = shared;
    Flash f = flash();
    const bool on_ground = is_on(read(sim::on_ground));
    const double nav_signal = read(sim::nav1_signal);
    const bool autopilot_on = is_on(read(sim::ap_master));

    if (autopilot_on)
        st.autoland_land_seen = s.appr_mode >= kLand ? 1 : 0;
    else
        st.autoland_flare_timer_armed = 0;

    if (on_ground) {  // the touchdown ends the flare's watch
        s.autoland_warn_state = kNone;
        st.autoland_flare_timer_armed = 0;
        f.clear();
    }

    const bool below = s.radio_alt_ft < kWatchBelowFt;
    if (s.appr_mode < kLand || !below || on_ground || s.autoland_warn_state != kNone) {
        if (st.autoland_land_seen == 1 && below && !on_ground && s.autoland_warn_state == kNone && !autopilot_on)
            s.autoland_warn_state = kAutopilotLost;
    } else {
        watch_approach(nav_signal);
    }

    if (on_ground) {
        s.autoland_warn_state = kOnGround;
        st.autoland_land_seen = 0;
        if (!autopilot_on) {
            s.autoland_warn_state = kNone;
            f.clear();
        }
    }

    if ((s.autoland_warn_state == kApproachFailure && (s.ap_engaged == 0 || s.afs_go_around == 1)) ||
        (s.autoland_warn_state == kAutopilotLost && s.afs_go_around == 1)) {
        acknowledge();
        f.clear();
    }

    if (s.batt_bus_powered != 1) {
        s.autoland_warn_state = kNone;
        st.autoland_ack = 0;
        f.clear();
        warning_light.show(false);
        return;
    }
    if (st.autoland_ack == 1) {
        st.autoland_ack = 0;
        s.autoland_warn_state = kNone;
        f.clear();
    }
    const u32 now = afs::present_tick();
    if (s.autoland_warn_state != kNone && !f.running()) f.start(now);
    f.step(now);
    warning_light.show(f.lit() || s.ann_lt_test == 1);
}

// An approach failure can be acknowledged by a click; the loss of the autopilot cannot.
void click_acknowledge() {
    if (shared.autoland_warn_state == kApproachFailure) acknowledge();
}

constexpr std::array areas{area<&click_acknowledge>("autoland_ack", Cursor::hand)};

}  // namespace

TARVENOL_GAUGE(autoland_light_2, "tarvenol autoland_light_2_t418", 43, &tick_callback<&tick>, areas, st_table,
               &reset_private_state, background, warning_light);
