// What the panels show beyond single lights: flow bars, needles that move a step per tick toward
// their reading, warning flags latched until their clearing condition, and timers kept in a
// gauge's own variables.
#pragma once

#include <cstddef>
#include <cstdint>

#include "module/gauge.h"
#include "module/host_services.h"

namespace tarvenol {

// --- Flow bars ---------------------------------------------------------------------------------

// A connection drawn on a powered bus: the in-line bar while the connection is made, the
// cross-line bar while it is open, neither while the bus is dead.
struct FlowBar {
    Image in_line;
    Image cross_line;
    FlowBar(const char* in_line_name, const char* cross_line_name, Look look = bar())
        : in_line(in_line_name, look), cross_line(cross_line_name, crossed(look)) {}
    static constexpr Look crossed(Look look) {
        look.draw = Draw::bar_cross;
        return look;
    }
    void show(bool bus_powered, bool connected) {
        in_line.show(bus_powered && connected);
        cross_line.show(bus_powered && !connected);
    }
    static constexpr std::size_t kLinkCount = 2;
    void append_links(ElementLink**& out) {
        *out++ = &in_line.link;
        *out++ = &cross_line.link;
    }
};

// --- Needles -----------------------------------------------------------------------------------
// A needle moves at most one step per tick; within a step of its reading it settles on it. The
// comparisons are made wide so that any stored needle value (a preset may leave one) moves sanely.

// Rising toward a reading: at or below reading - step it rises a step, otherwise (also from
// above) it is put on the reading.
template <class T>
void rise_toward(T& needle, std::int64_t reading, std::int64_t step) {
    if (static_cast<std::int64_t>(needle) <= reading - step)
        needle = static_cast<T>(needle + step);
    else
        needle = static_cast<T>(reading);
}

// Approaching a reading from either side a step at a time.
template <class T>
void settle_on(T& needle, std::int64_t reading, std::int64_t step) {
    if (static_cast<std::int64_t>(needle) <= reading - step)
        needle = static_cast<T>(needle + step);
    else if (static_cast<std::int64_t>(needle) >= reading + step)
        needle = static_cast<T>(needle - step);
    else
        needle = static_cast<T>(reading);
}

// Falling to the rest position: at or above rest + step it falls a step, otherwise (also from
// below) it is put on the rest.
template <class T>
void fall_to(T& needle, std::int64_t rest, std::int64_t step) {
    if (static_cast<std::int64_t>(needle) >= rest + step)
        needle = static_cast<T>(needle - step);
    else
        needle = static_cast<T>(rest);
}

// --- Warning flags -----------------------------------------------------------------------------
// A fault flag for the master warning that its owner raises whenever it sees the fault and that
// stays raised until its own clearing condition holds.
template <class T>
void latch(T& flag) {
    flag = 1;
}
template <class T>
void unlatch_when(T& flag, bool cleared) {
    if (cleared) flag = 0;
}

// --- Timers ------------------------------------------------------------------------------------
// A timer kept in two variables of its gauge: the deadline on the tick counter and a byte that is
// 1 while it runs. It expires on the first tick at which the counter has reached the deadline.
class Timer {
public:
    Timer(i32& deadline, u8& running) : deadline_(deadline), running_(running) {}

    bool idle() const { return running_ == 0; }
    bool running() const { return running_ == 1; }
    void start(i32 ticks) {
        deadline_ = deadline_in(ticks);
        running_ = 1;
    }
    bool expired() const { return running() && is_due(deadline_); }
    void stop() { running_ = 0; }

private:
    i32& deadline_;
    u8& running_;
};

}  // namespace tarvenol
