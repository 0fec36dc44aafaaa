#include "host/audio_file.h"

#include <array>

namespace tarvenol::host {

namespace {

constexpr std::uint16_t kPcm = 1;
constexpr std::uint16_t kMono = 1;
constexpr std::uint16_t kBytesPerSample = sizeof(std::int16_t);
constexpr std::uint16_t kBitsPerByte = 8;
constexpr std::uint32_t kFormatBytes = 16;
constexpr std::size_t kHeaderBytes = 44;
constexpr std::size_t kRiffSizeAt = 4;
constexpr std::size_t kDataSizeAt = 40;
constexpr std::uint32_t kRiffOverhead = kHeaderBytes - 8;  // what the RIFF size counts besides the data
constexpr std::uint64_t kMaxFileBytes = 0xFFFFFFFFULL;

using Header = std::array<unsigned char, kHeaderBytes>;

struct Fields {
    Header& h;
    std::size_t at = 0;
    void tag(const char* t) {
        for (int i = 0; i < 4; ++i) h[at++] = static_cast<unsigned char>(t[i]);
    }
    void u16(std::uint16_t v) {
        h[at++] = static_cast<unsigned char>(v & 0xFF);
        h[at++] = static_cast<unsigned char>(v >> 8);
    }
    void u32(std::uint32_t v) {
        u16(static_cast<std::uint16_t>(v & 0xFFFF));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
};

Header header(std::uint32_t data_bytes) {
    Header h{};
    Fields f{h};
    f.tag("RIFF");
    f.u32(data_bytes + kRiffOverhead);
    f.tag("WAVE");
    f.tag("fmt ");
    f.u32(kFormatBytes);
    f.u16(kPcm);
    f.u16(kMono);
    f.u32(kAudioRate);
    f.u32(kAudioRate * kBytesPerSample);
    f.u16(kBytesPerSample);
    f.u16(kBytesPerSample * kBitsPerByte);
    f.tag("data");
    f.u32(data_bytes);
    return h;
}

}  // namespace

std::uint64_t WavStream::max_frames() {
    return (kMaxFileBytes - kHeaderBytes) / (kAudioSamplesPerFrame * kBytesPerSample);
}

WavStream::~WavStream() {
    if (file_) std::fclose(file_);
}

bool WavStream::open(const std::string& path) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) return false;
    const Header h = header(0);
    ok_ = std::fwrite(h.data(), 1, h.size(), file_) == h.size();
    return ok_;
}

void WavStream::write(const std::int16_t* samples, std::size_t count) {
    if (!file_ || !ok_) return;
    std::array<unsigned char, kAudioSamplesPerFrame * kBytesPerSample> bytes;
    std::size_t n = 0;
    for (std::size_t i = 0; i < count && n + 1 < bytes.size(); ++i) {
        const auto v = static_cast<std::uint16_t>(samples[i]);
        bytes[n++] = static_cast<unsigned char>(v & 0xFF);
        bytes[n++] = static_cast<unsigned char>(v >> 8);
    }
    ok_ = std::fwrite(bytes.data(), 1, n, file_) == n;
    data_bytes_ += n;
}

bool WavStream::close() {
    if (!file_) return false;
    bool ok = ok_ && data_bytes_ + kHeaderBytes <= kMaxFileBytes;
    if (ok) {
        const Header h = header(static_cast<std::uint32_t>(data_bytes_));
        ok = std::fseek(file_, static_cast<long>(kRiffSizeAt), SEEK_SET) == 0 &&
             std::fwrite(h.data() + kRiffSizeAt, 1, 4, file_) == 4 &&
             std::fseek(file_, static_cast<long>(kDataSizeAt), SEEK_SET) == 0 &&
             std::fwrite(h.data() + kDataSizeAt, 1, 4, file_) == 4;
    }
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    return ok;
}

}  // namespace tarvenol::host
