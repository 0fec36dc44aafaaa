// libFuzzer entry point of the frame fuzzer.
#include <cstddef>
#include <cstdint>

#include "frame_exercise.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tarvenol::fuzz::run_frame_input(data, size);
    return 0;
}
