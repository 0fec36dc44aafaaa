// Runs the wave fuzzer's input over a corpus of files (or folders of files). A file named "ok-..."
// must make a sound and one named "bad-..." must not; other files (found by the fuzzer) need only
// pass without a fault. Prints one line per failure and a closing count; exits 1 on any failure.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "wave_exercise.h"

namespace {

namespace fs = std::filesystem;

int passed = 0;
int failed = 0;

void replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::printf("FAIL %s: cannot be read\n", file.string().c_str());
        ++failed;
        return;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // An exact-size copy, so that a read past the end is a read past the allocation.
    std::vector<uint8_t> image(bytes.begin(), bytes.end());
    const bool loaded = tarvenol::snd::fuzz::exercise_wave(image.data(), image.size());
    const std::string name = file.filename().string();
    const bool must_load = name.rfind("ok-", 0) == 0;
    const bool must_fail = name.rfind("bad-", 0) == 0;
    if ((must_load && !loaded) || (must_fail && loaded)) {
        std::printf("FAIL %s: %s\n", name.c_str(), loaded ? "made a sound" : "made no sound");
        ++failed;
    } else {
        ++passed;
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        if (fs::is_directory(arg)) {
            for (const auto& entry : fs::directory_iterator(arg))
                if (entry.is_regular_file()) replay(entry.path());
        } else {
            replay(arg);
        }
    }
    std::printf("wave corpus: %d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
