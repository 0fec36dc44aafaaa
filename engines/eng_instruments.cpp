#include "engines/eng_instruments.h"

#include <cmath>

#include "module/host_services.h"

namespace tarvenol::eng {

u32 n1_target_knob = kN1TargetKnobAtLoad;
VibrationSwitches vib_switches;

namespace {
constexpr u8 kNoRating = 0;
constexpr double kNacelleAirBand = 0.5;    // within this of the air temperature it takes it
constexpr double kNacelleCooling = 0.01;   // a stopped nacelle above the air cools this a tick
constexpr double kNacelleWarming = 2.0;    // ... and below it warms this a tick
constexpr double kNacelleRundown = 2.0;    // unpowered, the needle runs down this a tick

// The band a heated nacelle hunts in: below `low` it rises fast, up to `high` slowly, above it
// falls slowly.
struct NacelleBand {
    double low;
    double high;
};
constexpr NacelleBand kFireBand{270.0, 280.0};
constexpr NacelleBand kRunningBand{70.0, 80.0};
constexpr double kNacelleFastRise = 0.8;
constexpr double kNacelleSlowRise = 0.3;
constexpr double kNacelleSlowFall = 0.1;
constexpr double kEngineRunningN2 = 10.0;

constexpr double kSecondaryStep = 2.0;
constexpr double kSecondaryBand = 4.0;

void hunt(f64& temp, NacelleBand band) {
    if (temp < band.low)
        temp += kNacelleFastRise;
    else if (temp <= band.high)
        temp += kNacelleSlowRise;
    else if (temp > band.high)
        temp -= kNacelleSlowFall;
    else
        temp = 0.0;  // a NaN left by a preset starts again from cold
}
}  // namespace

void update_primary(PrimaryIndicator& ind, double v, double step, bool powered) {
    if (powered) {
        if (v - step > ind.needle)
            ind.needle += step;
        else
            ind.needle = v;
        ind.counter = v;
    } else {
        run_down(ind.needle, step);
    }
    if (ind.max_pointer < ind.needle) ind.max_pointer = truncate<u32>(ind.needle);
}

double counter_shown(f64& counter) {
    if (!(counter >= 0.0) || std::isinf(counter)) counter = 0.0;
    return counter;
}

void close_n1_target_loop() {
    auto& s = shared;
    if (s.trp_mode > kNoRating)
        n1_target_knob = truncate<u32>(s.trp_n1_limit);
    else
        s.trp_n1_target = n1_target_knob;
}

double n1_target_marker() { return clamp_back(n1_target_knob, 0u, kN1TargetKnobTop); }

void turn_n1_target_knob(int by, bool only_without_rating) {
    if (only_without_rating && shared.trp_mode != kNoRating) return;
    if (by < 0)
        step_down(n1_target_knob, 0);
    else
        step_up(n1_target_knob, static_cast<int>(kN1TargetKnobTop));
}

void update_secondary(f64& needle, double value, bool powered) {
    if (!powered) {
        run_down(needle, kSecondaryStep);
        return;
    }
    if (value - needle > kSecondaryBand)
        needle += kSecondaryStep;
    else if (needle - value > kSecondaryBand)
        needle -= kSecondaryStep;
    else
        needle = value;
}

void update_nacelle(f64& temp, bool fire, double n2, double total_air_temp, bool powered) {
    if (!powered) {
        run_down(temp, kNacelleRundown);
        return;
    }
    if (fire) {
        hunt(temp, kFireBand);
    } else if (n2 >= kEngineRunningN2) {
        hunt(temp, kRunningBand);
    } else if (total_air_temp + kNacelleAirBand < temp && temp > 0.0) {
        temp -= kNacelleCooling;
    } else if (total_air_temp - kNacelleAirBand > temp) {
        temp += kNacelleWarming;
    } else {
        temp = total_air_temp >= 0.0 ? total_air_temp : 0.0;  // never below 0, nor unreadable
    }
}

namespace {
constexpr double kReverserDeployed = 0.01;
constexpr i32 kUnlockTicks = 36;
constexpr i32 kRevOutTicks = 30;
constexpr i32 kRevBackTicks = 6;
constexpr u8 kTimingNone = 0;
constexpr u8 kTimingOut = 1;
constexpr u8 kTimingBack = 2;

// Times a movement: its deadlines are set on its first tick.
void time_movement(Reverser& r, u8 movement, i32 rev_ticks) {
    if (r.timing == movement) return;
    r.timing = movement;
    r.unlock_deadline = deadline_in(kUnlockTicks);
    r.rev_deadline = deadline_in(rev_ticks);
}
}  // namespace

ReverserLamps update_reverser(Reverser& r, double position) {
    if (shared.batt_bus_powered != 1) return {false, false};
    const bool out = position >= kReverserDeployed;
    if (out && r.deployed == 0) {
        time_movement(r, kTimingOut, kRevOutTicks);
        const bool unlocked = !is_due(r.unlock_deadline);
        if (!unlocked) r.deployed = 1;
        return {unlocked, is_due(r.rev_deadline)};
    }
    if (out) {
        r.timing = kTimingNone;
        r.unlock_deadline = 0;
        r.rev_deadline = 0;
        return {false, true};
    }
    if (r.deployed == 1) {
        time_movement(r, kTimingBack, kRevBackTicks);
        const bool unlocked = !is_due(r.unlock_deadline);
        if (!unlocked) r.deployed = 0;
        return {unlocked, !is_due(r.rev_deadline)};
    }
    r.timing = kTimingNone;
    const bool test = shared.ann_lt_test == 1;
    return {test, test};
}

}  // namespace tarvenol::eng
