// The frame fuzzer as a plain test: replays every input file given (or every file of a folder
// given), then a fixed set of generated inputs, so that the fuzzer's program of frames, clicks and
// awkward values runs in every build and under every sanitizer; fails, naming the input, the frame
// and what was broken, when an invariant of the cockpit does not hold after a frame.
//
//   fuzz_frame_replay [FILE|FOLDER...]            the inputs given, then the built-in generated ones
//   fuzz_frame_replay --frames N [--seed S] [--findings DIR]
//                                                 generated inputs until N frames are judged (the long
//                                                 run); every finding is minimised and written to DIR
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "frame_exercise.h"

namespace {

constexpr int kGeneratedInputs = 64;
constexpr std::size_t kGeneratedSize = 768;

using Bytes = std::vector<std::uint8_t>;

bool judged(const char* input, const Bytes& data) {
    const auto finding = tarvenol::fuzz::run_frame_input(data.data(), data.size());
    if (!finding) return true;
    std::fprintf(stderr, "fuzz_frame_replay: %s breaks an invariant\n%s", input, tarvenol::fuzz::describe(*finding).c_str());
    return false;
}

bool replay_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "fuzz_frame_replay: cannot read %s\n", path.string().c_str());
        return false;
    }
    const Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return judged(path.string().c_str(), data);
}

// A fixed linear congruential sequence, the same on every machine.
struct Generator {
    std::uint32_t seed;
    void fill(Bytes& data) {
        for (auto& b : data) {
            seed = seed * 1664525u + 1013904223u;
            b = static_cast<std::uint8_t>(seed >> 24);
        }
    }
};

// The same fault: the first violation names the same variable, element, sound or event.
bool same_fault(const Bytes& data, const std::string& where) {
    const auto finding = tarvenol::fuzz::run_frame_input(data.data(), data.size());
    return finding && finding->violations.front().where == where;
}

// The shortest input found by dropping ever smaller runs of bytes that still shows the fault.
Bytes minimised(Bytes data) {
    const auto first = tarvenol::fuzz::run_frame_input(data.data(), data.size());
    if (!first) return data;
    const std::string where = first->violations.front().where;
    for (std::size_t chunk = data.size() / 2; chunk >= 1; chunk /= 2) {
        for (std::size_t at = 0; at + chunk <= data.size();) {
            Bytes shorter(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(at));
            shorter.insert(shorter.end(), data.begin() + static_cast<std::ptrdiff_t>(at + chunk), data.end());
            if (same_fault(shorter, where))
                data = std::move(shorter);
            else
                at += chunk;
        }
    }
    return data;
}

// Generated inputs until `frames` frames are judged; every finding minimised, reported and kept.
int long_run(long frames, std::uint32_t seed, const std::filesystem::path& findings) {
    const auto start = std::chrono::steady_clock::now();
    Generator gen{seed};
    Bytes data(kGeneratedSize);
    long inputs = 0;
    long found = 0;
    std::set<std::string> seen;
    constexpr long kReportEvery = 10000;
    while (tarvenol::fuzz::frames_played() < frames) {
        gen.fill(data);
        ++inputs;
        if (inputs % kReportEvery == 0)
            std::fprintf(stderr, "fuzz_frame_replay: %ld inputs, %ld frames\n", inputs, tarvenol::fuzz::frames_played());
        const auto finding = tarvenol::fuzz::run_frame_input(data.data(), data.size());
        if (!finding) continue;
        ++found;
        // Each fault is minimised and kept once, at its first input.
        if (!seen.insert(finding->violations.front().where).second) continue;
        const long frames_before = tarvenol::fuzz::frames_played();
        const Bytes small = minimised(data);
        const auto again = tarvenol::fuzz::run_frame_input(small.data(), small.size());
        std::error_code ec;
        std::filesystem::create_directories(findings, ec);
        const auto path = findings / ("finding-" + std::to_string(seen.size()) + ".bin");
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(small.data()),
                                                    static_cast<std::streamsize>(small.size()));
        std::printf("finding %zu: input %ld, minimised to %zu bytes in %s\n%s", seen.size(), inputs, small.size(),
                    path.string().c_str(), tarvenol::fuzz::describe(again ? *again : *finding).c_str());
        // Frames run while minimising are not part of the count.
        tarvenol::fuzz::discount_frames(tarvenol::fuzz::frames_played() - frames_before);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("fuzz_frame_replay: %ld inputs, %ld frames judged, %ld findings (%zu distinct), %.0f s\n", inputs,
                tarvenol::fuzz::frames_played(), found, seen.size(), seconds);
    return found == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    long frames = 0;
    std::uint32_t seed = 0x5EED5EEDu;
    std::filesystem::path findings = "findings";
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const bool has_value = i + 1 < argc;
        if (!std::strcmp(argv[i], "--frames") && has_value)
            frames = std::strtol(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--seed") && has_value)
            seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 0));
        else if (!std::strcmp(argv[i], "--findings") && has_value)
            findings = argv[++i];
        else
            inputs.emplace_back(argv[i]);
    }
    if (frames > 0) return long_run(frames, seed, findings);

    int replayed = 0;
    bool ok = true;
    for (const auto& arg : inputs) {
        std::error_code ec;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file()) ok = replay_file(entry.path()) && ok, ++replayed;
        } else {
            ok = replay_file(arg) && ok;
            ++replayed;
        }
    }
    Generator gen{seed};
    Bytes data(kGeneratedSize);
    for (int n = 0; n < kGeneratedInputs; ++n) {
        gen.fill(data);
        const std::string name = "generated input " + std::to_string(n);
        ok = judged(name.c_str(), data) && ok;
    }
    std::printf("fuzz_frame_replay: %d inputs replayed, %d generated, %ld frames judged\n", replayed, kGeneratedInputs,
                tarvenol::fuzz::frames_played());
    return ok ? 0 : 1;
}
