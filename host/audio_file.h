// The cockpit audio written to a WAV file as it is mixed, frame by frame: 16-bit mono PCM at the
// mixing rate. Nothing is held in memory but one frame; the sizes in the header are filled in when
// the file is closed. A WAV file counts its bytes in 32 bits, so a recording has a ceiling, which a
// run is checked against before it starts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "host/simulator.h"

namespace tarvenol::host {

class WavStream final : public AudioSink {
public:
    WavStream() = default;
    ~WavStream() override;
    WavStream(const WavStream&) = delete;
    WavStream& operator=(const WavStream&) = delete;

    // The most frames one file can hold.
    static std::uint64_t max_frames();

    bool open(const std::string& path);
    void write(const std::int16_t* samples, std::size_t count) override;
    // Fills in the header and closes; false if anything failed to reach the file.
    bool close();

private:
    std::FILE* file_ = nullptr;
    std::uint64_t data_bytes_ = 0;
    bool ok_ = true;
};

}  // namespace tarvenol::host
