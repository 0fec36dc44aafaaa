// One fuzz input played against a freshly loaded cockpit. The bytes are read as a program of
// operations: run a frame, run a frame with the gauges in a shuffled order, click an area of a
// gauge, set a simulator variable to an awkward value, switch the aircraft model, hold or release
// a clock, open or close a panel window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/invariants.h"

namespace tarvenol::fuzz {

// At most this many frames per input, so that every input runs in milliseconds.
constexpr int kMaxFramesPerInput = 48;

// The first frame after which an invariant of the cockpit was broken (frames count from 1), and
// what was broken.
struct Finding {
    long frame;
    std::vector<host::Violation> violations;
};

// Plays the input, checking every invariant after every frame.
std::optional<Finding> run_frame_input(const std::uint8_t* data, std::size_t size);
// "frame 12: variable: shared hyd_blue_press = 4294967281, allowed 0..3000" and one line per further
// violation of that frame.
std::string describe(const Finding& finding);
// Frames run by every input played in this process; frames not to count (a minimisation's) taken off.
long frames_played();
void discount_frames(long frames);

}  // namespace tarvenol::fuzz
