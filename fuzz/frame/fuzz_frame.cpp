// libFuzzer entry point of the frame fuzzer: an input that breaks an invariant of the cockpit is a
// finding (reported with its frame, the variable or element and its value, then abort so that
// libFuzzer keeps and can minimise the input).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "frame_exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const auto finding = tarvenol::fuzz::run_frame_input(data, size)) {
        std::fprintf(stderr, "frame fuzzer: invariant broken\n%s", tarvenol::fuzz::describe(*finding).c_str());
        std::abort();
    }
    return 0;
}
