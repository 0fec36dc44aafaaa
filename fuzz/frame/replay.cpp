// The frame fuzzer as a plain test: replays every input file given (or every file of a folder
// given), then a fixed set of generated inputs, so that the fuzzer's program of frames, clicks and
// awkward values runs in every build and under every sanitizer.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "frame_exercise.h"

namespace {

constexpr int kGeneratedInputs = 64;
constexpr std::size_t kGeneratedSize = 768;

bool replay_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "fuzz_frame_replay: cannot read %s\n", path.string().c_str());
        return false;
    }
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    tarvenol::fuzz::run_frame_input(data.data(), data.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int replayed = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        std::error_code ec;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file()) ok = replay_file(entry.path()) && ok, ++replayed;
        } else {
            ok = replay_file(arg) && ok;
            ++replayed;
        }
    }
    // Generated inputs: a fixed linear congruential sequence, the same on every machine.
    std::uint32_t seed = 0x5EED5EEDu;
    std::vector<std::uint8_t> data(kGeneratedSize);
    for (int n = 0; n < kGeneratedInputs; ++n) {
        for (auto& b : data) {
            seed = seed * 1664525u + 1013904223u;
            b = static_cast<std::uint8_t>(seed >> 24);
        }
        tarvenol::fuzz::run_frame_input(data.data(), data.size());
    }
    std::printf("fuzz_frame_replay: %d inputs replayed, %d generated\n", replayed, kGeneratedInputs);
    return ok ? 0 : 1;
}
