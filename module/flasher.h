// Flashing lights: a light that flashes a fixed number of ticks lit and as many dark, kept in its
// gauge's own variables (a running byte, a lit byte and the tick its present phase began).
//
// Every change comes on the first tick at which the simulator's tick counter has reached its mark
// (phase start + on ticks: dark; phase start + period: lit again, a new phase from that tick). The
// counter skips values whenever the simulator runs below 18 frames per second or is paused, and a
// light that waited for the exact mark would stay as it is for good; with a counter that counts
// every tick the light changes on exactly the same ticks as one that waits for the exact mark. A
// counter found below the phase start (the simulator started counting again) starts a lit phase anew.
#pragma once

#include <cstdint>

#include "module/host_services.h"

namespace tarvenol {

// The tick counter as the flashers count it: whole ticks, wide enough that a mark plus a period
// never overflows.
inline std::int64_t flash_counter() { return truncate<i32>(tick_counter()); }

// True once `now` has reached `mark` + `ticks`; a `mark` above `now` is brought back to `now`.
inline bool mark_reached(i32& mark, std::int64_t ticks, std::int64_t now) {
    if (now < mark) mark = static_cast<i32>(now);
    return now >= mark + ticks;
}

class Flasher {
public:
    Flasher(u8& running, u8& lit, i32& phase_start, std::int64_t on_ticks, std::int64_t period_ticks)
        : running_(running), lit_(lit), phase_start_(phase_start), on_(on_ticks), period_(period_ticks) {}

    bool running() const { return running_ != 0; }
    bool lit() const { return lit_ == 1; }

    // Lit from `now`, a phase starting.
    void start(std::int64_t now) {
        running_ = 1;
        lit_ = 1;
        phase_start_ = static_cast<i32>(now);
    }
    // One tick of a running flasher: dark from phase start + on, lit again from phase start + period.
    void step(std::int64_t now) {
        if (now < phase_start_) {
            start(now);
            return;
        }
        if (mark_reached(phase_start_, period_, now)) {
            lit_ = 1;
            phase_start_ = static_cast<i32>(now);
        } else if (mark_reached(phase_start_, on_, now)) {
            lit_ = 0;
        }
    }
    // Starts a flasher that is not running, steps one that is; returns whether it is lit.
    bool run(std::int64_t now) {
        if (running())
            step(now);
        else
            start(now);
        return lit();
    }
    void reset() {
        running_ = 0;
        lit_ = 0;
        phase_start_ = 0;
    }

private:
    u8& running_;
    u8& lit_;
    i32& phase_start_;
    std::int64_t on_;
    std::int64_t period_;
};

}  // namespace tarvenol
