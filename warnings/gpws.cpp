// tarvenol gpws_t418: the ground proximity warning — the GPWS light, which is also its test button.
// Every tick it evaluates the five alert envelopes (sink rate, terrain closure, altitude loss after
// takeoff, too low with gear or flaps up or after takeoff, glide slope) from the radio altitude,
// vertical speed, airspeed, configuration, engine N1 and the glide slope, selects the alert of
// highest priority, speaks its callout and publishes it; then it runs the master warning's aural
// dispatcher so that the chimes see the alert of this very tick.
// Its installation opens the sound device and creates the cockpit's 25 sounds at their set volumes;
// its kill releases them.
#include <array>
#include <cstdint>

#include "module/gauge.h"
#include "module/shared_state.h"
#include "warnings/master_warning.h"
#include "module/units.h"

namespace {

using namespace tarvenol;

// Configuration, raw simulator units.
constexpr double kGearUpBelow = 10.0;
constexpr double kGearDownAbove = 15000.0;
constexpr int kLandingFlapMargin = 100;  // flaps within this of the second flap step are landing flaps

// A speed-dependent upper radio altitude: the low limit up to the low speed, rising linearly to
// the high limit reached at the high speed.
struct SpeedBand {
    double low_ias, high_ias;
    double low_limit, slope, high_limit;
};
constexpr SpeedBand kMode2Band{230.0, 330.0, 1650.0, 3.5, 2000.0};
constexpr SpeedBand kMode3Band{190.0, 250.0, 667.0, 11.1, 1333.0};
constexpr SpeedBand kMode4aBand{200.0, 270.0, 500.0, 7.143, 1000.0};
constexpr SpeedBand kMode4bBand{165.0, 270.0, 245.0, 7.19, 1000.0};
constexpr SpeedBand kMode4cBand{200.0, 270.0, 667.0, 9.51, 1000.0};

// Mode 1, excessive sink rate.
constexpr double kMode1CeilingFt = 2450.0;
constexpr double kMode1FloorFt = 10.0;
constexpr double kMode1SinkFrom = -1000.0;  // ft/min
constexpr double kMode1SinkSlope = 0.61;
constexpr double kMode1SinkBase = 10.0;
constexpr double kMode1PullFrom = -1800.0;
constexpr double kMode1PullSlope = 0.377;
constexpr double kMode1PullBase = 350.0;

// Closure-rate sampler: one sample a second, rates in feet per minute.
constexpr i32 kClosureSampleTicks = 18;
constexpr double kSecondsPerMinute = 60.0;
enum ClosurePhase : u8 { kSampleA = 0, kRateFromA = 1, kRateFromB = 2, kRateFromA2 = 3 };

// Mode 2, excessive terrain closure: the limit by closure rate, in four segments.
struct ClosureSegment {
    double above;  // the segment holds for closure rates above this and up to the previous one
    double from, slope, base;
};
constexpr double kMode2NoAlertAbove = -2000.0;
constexpr std::array<ClosureSegment, 3> kMode2Segments{{
    {-3500.0, -2000.0, 0.81, 30.0},
    {-8000.0, -3500.0, 0.122, 1250.0},
    {-9000.0, -8000.0, 0.2, 1800.0},
}};
constexpr double kMode2LimitBeyond = 2000.0;
constexpr u32 kMode2PullDivisor = 2;
constexpr double kMode2ClimbOutFt = 300.0;

// Mode 3, altitude loss after takeoff or go-around.
constexpr double kMode3DisarmAboveFt = 1333.0;
constexpr double kMode3LossFactor = 6.665;

// Modes 4 and 5.
constexpr double kLowModesCeilingFt = 1000.0;  // modes 4 and 5 watch the last 1000 ft
constexpr double kMode4aIdleN1 = 90.0;   // below 200 kt: too low gear unless at go-around thrust
constexpr double kMode4aHighN1 = 80.0;   // above 200 kt: too low terrain
constexpr double kMode4bN1 = 90.0;
constexpr double kMode4cTakeoffN1 = 90.0;
constexpr std::uint64_t kMode4cLossPercent = 75;
constexpr std::uint64_t kPercent = 100;
constexpr double kMode5FloorFt = 150.0;
constexpr double kMode5BelowSlope = -100.0;
constexpr double kMode5N1 = 90.0;

// Every envelope needs more than 30 ft of radio altitude; arming needs 30 ft or more.
constexpr double kLowestAlertFt = 30.0;

// Test sequence: 2 s per callout, from the ground or above 1500 ft.
constexpr double kTestAboveFt = 1500.0;
constexpr i32 kTestStepTicks = 36;

// Mode states and arming.
constexpr u8 kClear = 0;
constexpr u8 kAlert = 1;
constexpr u8 kPullUp = 2;  // and too low terrain in modes 4A and 4B
constexpr u8 kDisarmed = 0;
constexpr u8 kArmed = 1;
constexpr u8 kWaitingForLiftOff = 2;

// Alert codes.
constexpr u16 kNoAlert = 0;
constexpr u16 kSinkRate = 10;
constexpr u16 kSinkRatePullUp = 12;
constexpr u16 kTerrain = 20;
constexpr u16 kTerrainPullUp = 22;
constexpr u16 kDontSink = 30;
constexpr u16 kTooLowGear = 410;
constexpr u16 kTooLowTerrainGearUp = 412;
constexpr u16 kTooLowFlaps = 420;
constexpr u16 kTooLowTerrainGearDown = 422;
constexpr u16 kTooLowTerrainAfterTakeoff = 43;
constexpr u16 kGlideSlope = 50;

#define GPWS_STATE(X)              \
    X(u8, gpws_test, 0)            \
    X(u8, gpws_test_step, 0)       \
    X(i32, gpws_test_due, 0)       \
    X(u8, mode1_state, 0)          \
    X(u32, mode1_sink_limit, 0)    \
    X(u32, mode1_pull_limit, 0)    \
    X(u8, closure_phase, 0)        \
    X(i32, closure_due, 0)         \
    X(i32, closure_sample_a, 0)    \
    X(i32, closure_sample_b, 0)    \
    X(i32, closure_rate, 0)        \
    X(u32, mode2_speed_limit, 0)   \
    X(u32, mode2_limit, 0)         \
    X(u32, mode2_pull_limit, 0)    \
    X(i32, mode2_alt_at_pullup, 0) \
    X(u8, mode2_state, 0)          \
    X(u8, mode3_arm, 0)            \
    X(i32, mode3_max_alt, 0)       \
    X(i32, mode3_loss, 0)          \
    X(u32, mode3_speed_limit, 0)   \
    X(u8, mode3_state, 0)          \
    X(u32, mode4a_speed_limit, 0)  \
    X(u32, mode4b_speed_limit, 0)  \
    X(u32, mode4c_speed_limit, 0)  \
    X(u8, mode4a_state, 0)         \
    X(u8, mode4b_state, 0)         \
    X(u8, mode4c_arm, 0)           \
    X(u32, mode4c_max_ra, 0)       \
    X(u8, mode4c_state, 0)         \
    X(u8, mode5_state, 0)
TARVENOL_PRIVATE_STATE(GPWS_STATE)

// The alerts by priority: the first mode found in its alert state wins.
struct AlertRow {
    u8 State::*mode;
    u8 state;
    snd::SoundId callout;
    u16 code;
};
constexpr std::array<AlertRow, 11> kAlerts{{
    {&State::mode1_state, kAlert, snd::SNKRATE, kSinkRate},
    {&State::mode1_state, kPullUp, snd::WPULLUP, kSinkRatePullUp},
    {&State::mode2_state, kAlert, snd::TERRAIN, kTerrain},
    {&State::mode2_state, kPullUp, snd::WPULLUP, kTerrainPullUp},
    {&State::mode3_state, kAlert, snd::DONTSNK, kDontSink},
    {&State::mode4a_state, kAlert, snd::TOOLOWGEAR, kTooLowGear},
    {&State::mode4a_state, kPullUp, snd::TOOLOWTERRAIN, kTooLowTerrainGearUp},
    {&State::mode4b_state, kAlert, snd::TOOLOWFLAPS, kTooLowFlaps},
    {&State::mode4b_state, kPullUp, snd::TOOLOWTERRAIN, kTooLowTerrainGearDown},
    {&State::mode4c_state, kAlert, snd::TOOLOWTERRAIN, kTooLowTerrainAfterTakeoff},
    {&State::mode5_state, kAlert, snd::GLIDESLOPE, kGlideSlope},
}};
// While one of these alerts sounds, a don't-sink alert keeps its state when it would clear.
constexpr std::array<u16, 6> kAlertsHoldingMode3{kSinkRate,  kTerrainPullUp,           kTooLowGear,
                                                 kTooLowFlaps, kTooLowTerrainAfterTakeoff, kGlideSlope};

// What the envelopes read, once per tick.
struct Inputs {
    double ra, vs, ias;
    double flaps, gear;
    double n1_1, n1_2;
    bool on_ground;
    bool landing_flaps, gear_up, gear_down;
    bool slope_received;
    double slope_deviation;
};

// Landing flaps: at least the second flap step less the margin.
double landing_flaps_from() { return static_cast<int>(shared.flap_step_2_raw) - kLandingFlapMargin; }

Inputs read_inputs() {
    Inputs in{};
    in.ra = shared.radio_alt_ft;
    in.vs = shared.vert_speed_fpm;
    in.ias = read(sim::ias_kt);
    in.flaps = read(sim::flap_pos);
    in.gear = read(sim::gear_nose_pos);
    in.n1_1 = read(sim::eng1_n1_pct);
    in.n1_2 = read(sim::eng2_n1_pct);
    in.on_ground = is_on(read(sim::on_ground));
    in.landing_flaps = in.flaps >= landing_flaps_from();
    in.gear_up = in.gear < kGearUpBelow;
    in.gear_down = in.gear > kGearDownAbove;
    in.slope_received = is_on(read(sim::nav1_gs_flag));
    in.slope_deviation = read(sim::nav1_gsi);
    return in;
}

// The limits are whole feet, never negative: any input (huge, negative, NaN) truncates safely.
u32 feet(double v) { return truncate<u32>(v); }
// A limit is met when the radio altitude is at or below it.
bool within(u32 limit, double ra) { return static_cast<double>(limit) >= ra; }

u32 speed_limit(double ias, const SpeedBand& b) {
    if (ias <= b.low_ias) return feet(b.low_limit);
    if (ias >= b.high_ias) return feet(b.high_limit);
    return feet((ias - b.low_ias) * b.slope + b.low_limit);  // also an unknown (NaN) airspeed: 0
}

void mode_1(const Inputs& in) {
    if (in.ra > kMode1CeilingFt || in.ra <= kMode1FloorFt || in.vs > kMode1SinkFrom) {
        st.mode1_state = kClear;
        return;
    }
    st.mode1_sink_limit = feet((-in.vs + kMode1SinkFrom) * kMode1SinkSlope + kMode1SinkBase);
    st.mode1_pull_limit = in.vs <= kMode1PullFrom ? feet((-in.vs + kMode1PullFrom) * kMode1PullSlope + kMode1PullBase) : 0;
    if (within(st.mode1_pull_limit, in.ra))
        st.mode1_state = kPullUp;
    else if (within(st.mode1_sink_limit, in.ra))
        st.mode1_state = kAlert;
    else
        st.mode1_state = kClear;
}

// One second between radio-altitude samples, taken alternately into A and B; the phase after the
// last runs on the next tick and takes its rate over that single tick.
void closure_sampler(double ra) {
    auto rate_from = [ra](i32 sample) { st.closure_rate = truncate<i32>((ra - sample) * kSecondsPerMinute); };
    auto next = [](u8 phase) {
        st.closure_due = deadline_in(kClosureSampleTicks);
        st.closure_phase = phase;
    };
    if (st.closure_phase == kSampleA) {
        rate_from(st.closure_sample_b);
        st.closure_sample_a = truncate<i32>(ra);
        next(kRateFromA);
    }
    if (st.closure_phase == kRateFromA && is_due(st.closure_due)) {
        rate_from(st.closure_sample_a);
        st.closure_sample_b = truncate<i32>(ra);
        next(kRateFromB);
    }
    if (st.closure_phase == kRateFromB && is_due(st.closure_due)) {
        rate_from(st.closure_sample_b);
        st.closure_sample_a = truncate<i32>(ra);
        next(kRateFromA2);
    }
    if (st.closure_phase == kRateFromA2 && is_due(st.closure_due)) {
        rate_from(st.closure_sample_a);
        st.closure_sample_b = truncate<i32>(ra);
        next(kSampleA);
    }
}

u32 mode_2_limit(i32 closure_rate) {
    const double c = closure_rate;
    if (c > kMode2NoAlertAbove) return 0;
    for (const ClosureSegment& s : kMode2Segments)
        if (c > s.above) return feet((-c + s.from) * s.slope + s.base);
    return feet(kMode2LimitBeyond);
}

void mode_2(const Inputs& in) {
    st.mode2_speed_limit = speed_limit(in.ias, kMode2Band);
    if (within(st.mode2_speed_limit, in.ra) && in.ra > kLowestAlertFt && !in.landing_flaps && !in.slope_received) {
        st.mode2_limit = mode_2_limit(st.closure_rate);
        st.mode2_pull_limit = st.mode2_limit / kMode2PullDivisor;
        if (within(st.mode2_pull_limit, in.ra)) {
            st.mode2_state = kPullUp;
            st.mode2_alt_at_pullup = truncate<i32>(read(sim::altitude_ft));
        } else if (within(st.mode2_limit, in.ra) && shared.gpws_alert != kTerrainPullUp) {
            st.mode2_state = kAlert;
        } else if (!within(st.mode2_limit, in.ra)) {
            st.mode2_state = kClear;
        }
    } else {
        st.mode2_state = kClear;
    }
    // A pull up ends once the aircraft has climbed 300 ft above where it was last called.
    if (st.mode2_state == kPullUp && read(sim::altitude_ft) > st.mode2_alt_at_pullup + kMode2ClimbOutFt)
        st.mode2_state = kClear;
}

bool mode_3_held() {
    for (u16 code : kAlertsHoldingMode3)
        if (shared.gpws_alert == code) return true;
    return false;
}

void mode_3(const Inputs& in) {
    const bool takeoff_configuration = !in.landing_flaps || in.gear_up;
    if (in.on_ground) {
        st.mode3_arm = kWaitingForLiftOff;
        st.mode3_max_alt = 0;
        st.mode3_loss = 0;
    }
    if ((st.mode3_arm == kWaitingForLiftOff || shared.afs_go_around == 1) && in.ra >= kLowestAlertFt &&
        takeoff_configuration)
        st.mode3_arm = kArmed;
    if (in.ra > kMode3DisarmAboveFt) {
        st.mode3_arm = kDisarmed;
        st.mode3_max_alt = 0;
        st.mode3_loss = 0;
    }
    st.mode3_speed_limit = speed_limit(in.ias, kMode3Band);
    const double altitude = read(sim::altitude_m) * kFeetPerMetre;
    const bool in_envelope = within(st.mode3_speed_limit, in.ra) && in.ra > kLowestAlertFt;
    if (in_envelope && st.mode3_max_alt <= altitude) st.mode3_max_alt = truncate<i32>(altitude);
    const i32 loss = truncate<i32>(st.mode3_max_alt - altitude);
    st.mode3_loss = loss < 0 ? 0 : loss;
    if (in_envelope && takeoff_configuration && st.mode3_arm == kArmed &&
        truncate<i32>(st.mode3_loss * kMode3LossFactor) >= in.ra)
        st.mode3_state = kAlert;
    else if (!mode_3_held())
        st.mode3_state = kClear;
}

// Modes 4A and 4B: within the speed limit a slow aircraft gets the first alert and a fast one the
// second, each only below its N1 (at more thrust the mode keeps its state); beyond the limit, or at
// an unknown airspeed, it clears.
void too_low(u8& state, const Inputs& in, u32 limit, double slow_up_to, double slow_n1, double fast_n1) {
    const bool met = within(limit, in.ra);
    if (in.ias <= slow_up_to && met) {
        if (in.n1_1 < slow_n1) state = kAlert;
    } else if (in.ias > slow_up_to && met) {
        if (in.n1_1 < fast_n1) state = kPullUp;
    } else {
        state = kClear;
    }
}

bool below_mode_4_ceiling(double ra) { return ra <= kLowModesCeilingFt && ra > kLowestAlertFt; }

void mode_4a(const Inputs& in) {
    if (!(below_mode_4_ceiling(in.ra) && in.gear_up)) {
        st.mode4a_state = kClear;
        return;
    }
    st.mode4a_speed_limit = speed_limit(in.ias, kMode4aBand);
    too_low(st.mode4a_state, in, st.mode4a_speed_limit, kMode4aBand.low_ias, kMode4aIdleN1, kMode4aHighN1);
}

void mode_4b(const Inputs& in) {
    if (!(below_mode_4_ceiling(in.ra) && in.gear_down && !in.landing_flaps)) {
        st.mode4b_state = kClear;
        return;
    }
    st.mode4b_speed_limit = speed_limit(in.ias, kMode4bBand);
    too_low(st.mode4b_state, in, st.mode4b_speed_limit, kMode4bBand.low_ias, kMode4bN1, kMode4bN1);
}

void mode_4c(const Inputs& in) {
    const bool takeoff_thrust = in.n1_1 > kMode4cTakeoffN1 || in.n1_2 > kMode4cTakeoffN1;
    if ((in.on_ground && takeoff_thrust) || shared.afs_go_around == 1) {
        st.mode4c_arm = kWaitingForLiftOff;
        st.mode4c_max_ra = 0;
    }
    if (st.mode4c_arm == kWaitingForLiftOff && in.ra >= kLowestAlertFt) st.mode4c_arm = kArmed;
    if (in.ra > kLowModesCeilingFt) {
        st.mode4c_arm = kDisarmed;
        st.mode4c_max_ra = 0;
    }
    st.mode4c_speed_limit = speed_limit(in.ias, kMode4cBand);
    if (st.mode4c_max_ra <= in.ra) st.mode4c_max_ra = feet(in.ra);
    if (within(st.mode4c_speed_limit, in.ra) && in.ra > kLowestAlertFt && st.mode4c_arm == kArmed) {
        const std::uint64_t floor = std::uint64_t{st.mode4c_max_ra} * kMode4cLossPercent / kPercent;
        st.mode4c_state = static_cast<double>(floor) >= in.ra ? kAlert : kClear;
    } else {
        st.mode4c_state = kClear;
    }
}

void mode_5(const Inputs& in) {
    if (in.ra <= kLowModesCeilingFt && in.ra > kMode5FloorFt && in.slope_received && in.slope_deviation < kMode5BelowSlope) {
        if (in.n1_1 < kMode5N1 && in.n1_2 < kMode5N1) st.mode5_state = kAlert;
    } else {
        st.mode5_state = kClear;
    }
}

void clear_modes() {
    for (u8 State::*mode : {&State::mode1_state, &State::mode2_state, &State::mode3_state, &State::mode4a_state,
                            &State::mode4b_state, &State::mode4c_state, &State::mode5_state})
        st.*mode = kClear;
}

// The alert of highest priority speaks its callout (a phrase still playing is not restarted, so it
// repeats back to back while the alert lasts).
void select_alert() {
    shared.gpws_alert = kNoAlert;
    for (const AlertRow& a : kAlerts) {
        if (st.*a.mode == a.state) {
            snd::play_once(a.callout);
            shared.gpws_alert = a.code;
            return;
        }
    }
}

void end_test() {
    st.gpws_test_step = 0;
    st.gpws_test_due = 0;
    st.gpws_test = 0;
}

// The test speaks GLIDESLOPE, then (flaps short of landing) WPULLUP, 2 s each; it runs on a live
// battery bus, with no alert, on the ground or above 1500 ft, and is cancelled otherwise.
void test_sequence() {
    const auto& s = shared;
    const double ra = s.radio_alt_ft;
    const bool runs = st.gpws_test == 1 && (is_on(read(sim::on_ground)) || ra > kTestAboveFt) &&
                      s.gpws_alert == kNoAlert && s.batt_bus_powered == 1;
    if (!runs) {
        end_test();
        return;
    }
    // For the test, flaps exactly at the landing threshold count as not landing.
    const bool landing_flaps = read(sim::flap_pos) > landing_flaps_from();
    if (st.gpws_test_step == 0) {
        snd::play_once(snd::GLIDESLOPE);
        st.gpws_test_due = deadline_in(kTestStepTicks);
        st.gpws_test_step = 1;
    } else if (st.gpws_test_step == 1 && is_due(st.gpws_test_due)) {
        if (landing_flaps) {
            end_test();
        } else {
            snd::play_once(snd::WPULLUP);
            st.gpws_test_due = deadline_in(kTestStepTicks);
            st.gpws_test_step = 2;
        }
    } else if (st.gpws_test_step == 2 && is_due(st.gpws_test_due)) {
        // Ends also when the flaps reached landing during the second callout.
        end_test();
    }
}

Background background;
Image gpws_light{"gpws_light", light(Tone::warning, "GPWS")};

void tick() {
    auto& s = shared;
    gpws_light.show(s.batt_bus_powered == 1 && (s.gpws_alert != kNoAlert || st.gpws_test == 1));

    if (s.batt_bus_powered != 1) {
        s.gpws_alert = kNoAlert;
        st.gpws_test = 0;
        clear_modes();
    } else {
        const Inputs in = read_inputs();
        mode_1(in);
        closure_sampler(in.ra);
        mode_2(in);
        mode_3(in);
        mode_4a(in);
        mode_4b(in);
        mode_4c(in);
        mode_5(in);
    }
    select_alert();
    test_sequence();
    mw::run_aural_dispatcher();
}

// The light is the test button; it gives no click.
void press_test() {
    if (shared.gpws_alert == kNoAlert && st.gpws_test != 1 && shared.batt_bus_powered == 1) st.gpws_test = 1;
}
constexpr std::array areas{area<&press_test>("gpws_test", Cursor::hand)};

void on_install(abi::UINT32 resource_handle) {
    snd::install_sounds(resource_handle, shared.sound_volume.data());
}
void on_kill() { snd::release_sounds(); }

}  // namespace

TARVENOL_GAUGE(gpws, "tarvenol gpws_t418", 47, (&lifecycle_callback<&on_install, &tick, &on_kill>), areas, st_table,
               &reset_private_state, background, gpws_light);
