// What the automatic flight annunciators share: the limits by which the autoland watches the
// approach, and the flash of their lights: 4 ticks lit, 4 ticks dark, timed on the
// simulator's tick counter, for a limited time or until the light is acknowledged. Each phase and
// the end act when their mark is reached or passed, so a skipped tick (a pause, a low frame rate)
// never leaves a light stuck; with no tick skipped the timing is exact.
#pragma once

#include <cmath>

#include "afs/modes.h"
#include "module/host_services.h"
#include "module/numbers.h"
#include "module/units.h"

namespace tarvenol::afs {

// The watched deviations: localizer beyond 12 needle units above 15 ft radio altitude; glide slope
// beyond 90 units between 100 and 250 ft above the ground, beyond 22 units higher up.
constexpr double kLocLimit = 12.0;
constexpr double kLocWatchAboveFt = 15.0;
constexpr double kGsLimitLow = 90.0;
constexpr double kGsLimitHigh = 22.0;
constexpr double kGsLowFromFt = 100.0;
constexpr double kGsLowToFt = 250.0;
constexpr u8 kGsSecondCapture = 2;  // gs_captured once the glide slope is tracked

inline bool beyond(double deviation, double limit) { return std::fabs(deviation) > limit; }
// The simulator's height above the ground, feet.
inline double height_above_ground_ft() { return read(sim::height_agl_m) * kFeetPerMetre; }

constexpr u32 kFlashOnTicks = 4;
constexpr u32 kFlashPeriodTicks = 8;

// The present tick as an unsigned count (a counter that is no number reads 0).
inline u32 present_tick() { return truncate<u32>(tick_counter()); }

// A flash sequence kept in its gauge's private variables: running flag, phase (1 lit, 0 dark),
// start tick and the tick its present period began.
class Flash {
public:
    Flash(u8& running, u8& lit, u32& start, u32& phase) : running_(running), lit_(lit), start_(start), phase_(phase) {}

    bool running() const { return running_ == 1; }
    bool lit() const { return running() && lit_ == 1; }

    // Starts lit at `now`.
    void start(u32 now) {
        running_ = 1;
        lit_ = 1;
        start_ = now;
        phase_ = now;
    }
    // Dark at the on-time's end, lit again (a new period) at the period's end.
    void step(u32 now) {
        if (!running()) return;
        const u32 since = now - phase_;
        if (since >= kFlashPeriodTicks) {
            lit_ = 1;
            phase_ = now;
        } else if (since >= kFlashOnTicks) {
            lit_ = 0;
        }
    }
    // True once `ticks` have run since the start.
    bool lasted(u32 now, u32 ticks) const { return running() && now - start_ >= ticks; }
    void clear() {
        running_ = 0;
        lit_ = 0;
        start_ = 0;
        phase_ = 0;
    }

private:
    u8& running_;
    u8& lit_;
    u32& start_;
    u32& phase_;
};

}  // namespace tarvenol::afs
