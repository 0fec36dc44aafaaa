// tarvenol aoa_t418: the angle-of-attack tape on AC bus 1. On the ground it settles in the 6-8
// band; in the air it follows the angle of attack 2 degrees a tick, holding still (at alpha + 5)
// while the tape lies between alpha + 3 and alpha + 7. Without power it freezes behind its OFF flag.
#include "module/gauge.h"
#include "module/shared_state.h"

namespace {

using namespace tarvenol;

constexpr double kDegreesPerHalfTurn = 180.0;
constexpr double kPi = 3.14116;  // the instrument's own value of pi

// On the ground the tape stands in its ground band.
constexpr double kGroundBandLow = 6.0;
constexpr double kGroundBandHigh = 8.0;
constexpr double kGroundRest = 7.0;
constexpr double kGroundStep = 1.0;

// In the air it follows alpha with an offset of 5 degrees and a dead band of +-2.
constexpr double kAirStep = 2.0;
constexpr double kDeadBandTop = 7.0;
constexpr double kDeadBandBottom = 3.0;
constexpr double kTapeOffset = 5.0;

constexpr double kTapeMin = 0.5;
constexpr double kTapeMax = 26.7;

#define AOA_STATE(X) X(f64, aoa_tape, 0.0)
TARVENOL_PRIVATE_STATE(AOA_STATE)

// A vertical tape in a tall window, the OFF flag across its middle.
constexpr Box kTapeWindow = at(18, 26, 40, 124);
Background background{panel("AOA", 164)};
// Numbered 0 to 30 degrees, 4 pixels a degree, read at the index across the window.
constexpr double kTapeScaleTop = 30.0, kPixelsPerDegree = 4.0;
constexpr Look aoa_tape() {
    Look l = ::tarvenol::tape("AOA", kTapeWindow).moving(kPixelsPerDegree);
    l.lo = 0.0;
    l.hi = kTapeScaleTop;
    return l;
}
MovingImage tape{"aoa_tape", nullptr, [] { return st.aoa_tape; }, aoa_tape()};
Image off_flag{"off_flag", flag("OFF", at(kTapeWindow.x, kTapeWindow.y + kTapeWindow.h / 2 - 12, kTapeWindow.w, 24))};

void tick() {
    const bool powered = shared.ac_bus_1_powered == 1;
    double& t = st.aoa_tape;
    if (powered) {
        if (is_on(read(sim::on_ground))) {
            if (t > kGroundBandHigh)
                t -= kGroundStep;
            else if (t < kGroundBandLow)
                t += kGroundStep;
            else
                t = kGroundRest;
        } else {
            const double alpha = read(sim::aoa_rad) * kDegreesPerHalfTurn / kPi;
            if (alpha + kDeadBandTop < t)
                t -= kAirStep;
            else if (alpha + kDeadBandBottom > t)
                t += kAirStep;
            else
                t = alpha + kTapeOffset;
        }
        // The tape's stops; a tape lost to a reading that is no number comes to rest on the lower stop.
        if (!(t >= kTapeMin)) t = kTapeMin;
        if (t >= kTapeMax) t = kTapeMax;
    }
    off_flag.show(!powered);
}

}  // namespace

TARVENOL_GAUGE(aoa, "tarvenol aoa_t418", 38, &tick_callback<&tick>, no_areas, st_table, &reset_private_state,
               background, tape, off_flag);
