// Builds wave images byte by byte, including damaged ones, for the sound tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tarvenol::snd::test {

inline constexpr uint32_t kTestRate = 22050;

class WaveBuilder {
public:
    // Starts "RIFF", a length patched in by bytes() unless one is forced, "WAVE".
    WaveBuilder() { tag("RIFF"); u32(0); tag("WAVE"); }

    WaveBuilder& tag(const char* t) { for (int i = 0; i < 4; ++i) bytes_.push_back(uint8_t(t[i])); return *this; }
    WaveBuilder& u16(uint16_t v) { for (int i = 0; i < 2; ++i) bytes_.push_back(uint8_t(v >> (8 * i))); return *this; }
    WaveBuilder& u32(uint32_t v) { for (int i = 0; i < 4; ++i) bytes_.push_back(uint8_t(v >> (8 * i))); return *this; }

    // A chunk with its data and the fill byte of an odd size; declared_size replaces the true size.
    WaveBuilder& chunk(const char* t, const std::vector<uint8_t>& data, int64_t declared_size = -1) {
        tag(t);
        u32(declared_size < 0 ? uint32_t(data.size()) : uint32_t(declared_size));
        for (uint8_t b : data) bytes_.push_back(b);
        if (data.size() % 2) bytes_.push_back(0xEE);
        return *this;
    }

    WaveBuilder& format(uint16_t channels = 1, uint32_t rate = kTestRate, uint16_t bits = 16, uint16_t tag_value = 1) {
        return chunk("fmt ", format_bytes(channels, rate, bits, tag_value));
    }

    WaveBuilder& data(const std::vector<uint8_t>& samples) { return chunk("data", samples); }

    WaveBuilder& riff_length(uint32_t length) { forced_length_ = length; has_forced_length_ = true; return *this; }

    std::vector<uint8_t> bytes() const {
        std::vector<uint8_t> out = bytes_;
        const uint32_t length = has_forced_length_ ? forced_length_ : uint32_t(out.size() - 8);
        for (int i = 0; i < 4; ++i) out[4 + i] = uint8_t(length >> (8 * i));
        return out;
    }

    static std::vector<uint8_t> format_bytes(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag_value = 1) {
        WaveBuilder b;
        b.bytes_.clear();
        const uint16_t block = uint16_t(channels * bits / 8);
        b.u16(tag_value).u16(channels).u32(rate).u32(rate * block).u16(block).u16(bits);
        return b.bytes_;
    }

private:
    std::vector<uint8_t> bytes_;
    uint32_t forced_length_ = 0;
    bool has_forced_length_ = false;
};

// 16-bit mono samples as little-endian bytes.
inline std::vector<uint8_t> pcm16(const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out(samples.size() * 2);
    std::memcpy(out.data(), samples.data(), out.size());
    return out;
}

// A wave of 16-bit mono samples at the given rate.
inline std::vector<uint8_t> mono_wave(const std::vector<int16_t>& samples, uint32_t rate = kTestRate) {
    return WaveBuilder().format(1, rate, 16).data(pcm16(samples)).bytes();
}

}  // namespace tarvenol::snd::test
