#include "frame_exercise.h"

#include <cstring>
#include <limits>
#include <span>
#include <vector>

#include "host/sim_tokens.h"
#include "host/simulator.h"
#include "module/cockpit_layout.h"
#include "module/module_state.h"

namespace tarvenol::fuzz {

namespace {

using host::Simulator;

constexpr std::size_t kMaxOperations = 4096;

// Values a faulty or unusual simulator might hand the cockpit.
const double kAwkwardValues[] = {
    std::numeric_limits<double>::quiet_NaN(),
    -std::numeric_limits<double>::quiet_NaN(),
    std::numeric_limits<double>::infinity(),
    -std::numeric_limits<double>::infinity(),
    1e300,
    -1e300,
    -0.0,
    0.0,
    1.0,
    0.999,
    -1.0,
    2.0,
    6.0,
    20.0,
    100.0,
    16384.0,
    8388608.0,
    86399.99,
    static_cast<double>(std::numeric_limits<std::int32_t>::max()),
    static_cast<double>(std::numeric_limits<std::int32_t>::min()),
    static_cast<double>(std::numeric_limits<std::uint32_t>::max()),
    static_cast<double>(std::numeric_limits<std::int32_t>::max()) + 1.0,
    static_cast<double>(std::numeric_limits<std::int32_t>::min()) - 1.0,
    std::numeric_limits<double>::denorm_min(),
    std::numeric_limits<double>::max(),
    std::numeric_limits<double>::lowest(),
};

const std::int32_t kAwkwardIntegers[] = {
    0, 1, -1, 2, 0x40, 0x80, 0xC0, std::numeric_limits<std::int32_t>::max(),
    std::numeric_limits<std::int32_t>::min(), 0x1999, 0x7777, 0x0FFF,
};

const int kClockTokens[] = {1, 557, 604, 607};

// One of the pop-up panel windows (every window but the main panel).
std::uint32_t popup_window(std::uint8_t pick) {
    const auto all = tarvenol::cockpit::windows();
    return all[1 + pick % (all.size() - 1)].id;
}

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool more() const { return at_ < size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
        return v;
    }
    double f64() {
        std::uint8_t b[sizeof(double)];
        for (auto& x : b) x = byte();
        double v;
        std::memcpy(&v, b, sizeof v);
        return v;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A small deterministic generator for shuffling the gauge order.
struct XorShift {
    std::uint32_t state;
    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

void set_variable(Simulator& sim, Input& in) {
    const auto tokens = host::token_table();
    const std::uint8_t pick = in.byte();
    // Mostly the variables the cockpit reads, sometimes any token at all.
    constexpr std::uint8_t kAnyToken = 0xF0;
    const int token = pick >= kAnyToken ? static_cast<int>(in.u32() & 0x3FF) : tokens[pick % tokens.size()].token;
    const std::uint8_t how = in.byte();
    switch (how % 4) {
        case 0:
        case 1: sim.vars().set_f64(token, kAwkwardValues[in.byte() % std::size(kAwkwardValues)]); break;
        case 2: sim.vars().set_f64(token, in.f64()); break;
        case 3:
            sim.vars().set_i32(token, (how & 0x80) ? kAwkwardIntegers[in.byte() % std::size(kAwkwardIntegers)]
                                                   : static_cast<std::int32_t>(in.u32()));
            break;
    }
}

void click(Simulator& sim, Input& in) {
    const auto all = gauges();
    const GaugeInfo& g = *all[in.byte() % all.size()];
    const std::uint8_t area = in.byte();
    if (g.area_count > 0) sim.click(g, area % g.area_count);
}

void shuffled_frame(Simulator& sim, Input& in, std::vector<std::size_t>& order) {
    XorShift rng{in.u32() | 1u};
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    for (std::size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[rng.next() % i]);
    sim.frame(order.data(), order.size());
}

void panel_system(Simulator& sim, Input& in) {
    const std::uint8_t what = in.byte();
    switch (what % 4) {
        case 0: sim.model().set_enabled(!sim.model().enabled()); break;
        case 1: sim.host().hold(kClockTokens[in.byte() % std::size(kClockTokens)]); break;
        case 2: sim.host().release(kClockTokens[in.byte() % std::size(kClockTokens)]); break;
        case 3: sim.host().set_window(popup_window(in.byte()), (what & 0x80) != 0); break;
    }
}

long total_frames = 0;

}  // namespace

std::optional<Finding> run_frame_input(const std::uint8_t* data, std::size_t size) {
    Simulator sim;
    host::FrameInvariants invariants(sim.host());
    Input in(data, size);
    std::vector<std::size_t> order(sim.host().gauges().size());
    long frames = 0;
    std::optional<Finding> finding;
    // Runs one frame and judges what it left.
    auto judged = [&](auto&& run_frame) {
        invariants.before_frame();
        run_frame();
        ++frames;
        ++total_frames;
        std::vector<host::Violation> broken = invariants.after_frame();
        if (!broken.empty()) finding = Finding{frames, std::move(broken)};
    };
    for (std::size_t ops = 0; !finding && in.more() && ops < kMaxOperations && frames < kMaxFramesPerInput; ++ops) {
        switch (in.byte() % 8) {
            case 0:
            case 1: judged([&] { sim.frame(); }); break;
            case 2: judged([&] { shuffled_frame(sim, in, order); }); break;
            case 3:
            case 4: click(sim, in); break;
            case 5:
            case 6: set_variable(sim, in); break;
            case 7: panel_system(sim, in); break;
        }
    }
    // Every input ends with a few frames, so that what the last operations changed is ticked through.
    constexpr int kClosingFrames = 2;
    for (int i = 0; i < kClosingFrames && !finding; ++i) judged([&] { sim.frame(); });
    return finding;
}

std::string describe(const Finding& finding) {
    std::string text;
    for (const host::Violation& v : finding.violations)
        text += "frame " + std::to_string(finding.frame) + ": " + host::describe(v) + "\n";
    return text;
}

long frames_played() { return total_frames; }
void discount_frames(long frames) { total_frames -= frames; }

}  // namespace tarvenol::fuzz
