// Reading RIFF/WAVE images. Every offset is checked against the real size of the image before it is
// read, in 64-bit arithmetic so that no chunk size can wrap an offset around.
#include "sound/wave.h"

#include <cerrno>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "sound/platform.h"

namespace tarvenol::snd {

namespace {

constexpr std::size_t kTagBytes = 4;
constexpr std::size_t kChunkHeaderBytes = 8;                      // tag and 32-bit size
constexpr std::size_t kRiffLengthOffset = kTagBytes;
constexpr std::size_t kRiffLengthBase = kChunkHeaderBytes;        // the RIFF length counts from here
constexpr std::size_t kFirstChunk = kChunkHeaderBytes + kTagBytes;  // after "RIFF", length, "WAVE"
constexpr uint32_t kFormatChunkMin = 14;                          // up to and with the block align
constexpr std::size_t kFormatBaseBytes = offsetof(WaveFormat, extra);  // WAVEFORMATEX up to its extra size

bool tag_is(const uint8_t* at, const char (&tag)[kTagBytes + 1]) {
    return std::memcmp(at, tag, kTagBytes) == 0;
}

uint32_t read32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
           static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
}

// Reads little-endian fields one after another.
struct FieldReader {
    const uint8_t* at;
    uint16_t u16() {
        const uint16_t v = static_cast<uint16_t>(at[0] | at[1] << 8);
        at += sizeof v;
        return v;
    }
    uint32_t u32() {
        const uint32_t v = read32(at);
        at += sizeof v;
        return v;
    }
};

// Copies a "fmt " chunk of n bytes (all inside the image) into the device's format record.
WaveFormat read_format(const uint8_t* chunk, uint32_t n) {
    uint8_t bytes[sizeof(WaveFormat)] = {};
    const std::size_t held = std::min<std::size_t>(n, sizeof bytes);
    std::memcpy(bytes, chunk, held);
    FieldReader r{bytes};
    WaveFormat f;
    f.format_tag = r.u16();
    f.channels = r.u16();
    f.samples_per_sec = r.u32();
    f.avg_bytes_per_sec = r.u32();
    f.block_align = r.u16();
    f.bits_per_sample = r.u16();
    const std::size_t extra_held = held > kFormatBaseBytes ? held - kFormatBaseBytes : 0;
    f.extra_size = static_cast<uint16_t>(std::min<std::size_t>(r.u16(), extra_held));
    std::memcpy(f.extra, r.at, sizeof f.extra);
    return f;
}

}  // namespace

const char* describe(WaveError error) {
    switch (error) {
        case WaveError::none: return "loads";
        case WaveError::not_riff: return "not a RIFF file";
        case WaveError::not_wave: return "a RIFF file but not a WAVE";
        case WaveError::chunk_header_cut: return "the file ends inside a chunk header";
        case WaveError::format_too_short: return "its \"fmt \" chunk is too short to hold a format";
        case WaveError::format_cut: return "its \"fmt \" chunk runs past the end of the file";
        case WaveError::data_cut: return "its \"data\" chunk runs past the end of the file";
        case WaveError::no_format: return "it has no \"fmt \" chunk";
        case WaveError::no_data: return "it has no \"data\" chunk with samples";
    }
    return "unknown fault";
}

WaveError parse_wave(const uint8_t* image, std::size_t image_size, WaveImage& out) {
    out = WaveImage{};
    if (image == nullptr || image_size < kFirstChunk || !tag_is(image, "RIFF")) return WaveError::not_riff;
    if (!tag_is(image + kChunkHeaderBytes, "WAVE")) return WaveError::not_wave;

    const uint64_t size = image_size;
    const uint64_t riff_end = kRiffLengthBase + static_cast<uint64_t>(read32(image + kRiffLengthOffset));
    const uint64_t scan_end = std::min(riff_end, size);

    for (uint64_t at = kFirstChunk; at < scan_end;) {
        if (at + kChunkHeaderBytes > size) return WaveError::chunk_header_cut;
        const uint8_t* header = image + at;
        const uint32_t n = read32(header + kTagBytes);
        const uint64_t data_at = at + kChunkHeaderBytes;
        const bool inside = data_at + n <= size;

        if (tag_is(header, "fmt ") && !out.has_format) {
            if (n < kFormatChunkMin) return WaveError::format_too_short;
            if (!inside) return WaveError::format_cut;
            out.format = read_format(image + data_at, n);
            out.has_format = true;
            if (out.samples != nullptr && out.size != 0) return WaveError::none;
        } else if (tag_is(header, "data") && (out.samples == nullptr || out.size == 0)) {
            if (!inside) {
                out.samples = nullptr;
                out.size = 0;
                return WaveError::data_cut;
            }
            out.samples = image + data_at;
            out.size = n;
            if (out.has_format) return WaveError::none;
        }
        at = data_at + n + (n & 1u);
    }
    if (!out.has_format) return WaveError::no_format;
    return WaveError::no_data;
}

const char* buffer_problem(const WaveFormat& f, uint32_t bytes) {
    if (f.format_tag != kWaveFormatPcm) return "it is not PCM";
    if (f.channels != 1 && f.channels != 2) return "it is neither mono nor stereo";
    if (f.bits_per_sample != 8 && f.bits_per_sample != 16) return "its samples are neither 8 nor 16 bits";
    if (f.block_align != f.channels * f.bits_per_sample / 8) return "its block size does not match its channels and bits";
    if (f.samples_per_sec < kSampleRateMin || f.samples_per_sec > kSampleRateMax)
        return "its sample rate is outside what the sound device plays";
    if (bytes < kBufferBytesMin || bytes > kBufferBytesMax) return "its sample data is too short or too long for a sound buffer";
    return nullptr;
}

bool describe_wave(const uint8_t* image, std::size_t image_size, WaveInfo& out, const char** why) {
    out = WaveInfo{};
    WaveImage wave;
    const WaveError error = parse_wave(image, image_size, wave);
    const char* problem = error == WaveError::none ? nullptr : describe(error);
    if (error == WaveError::none) {
        const WaveFormat& f = wave.format;
        out.parsed = true;
        out.format_tag = f.format_tag;
        out.channels = f.channels;
        out.sample_rate = f.samples_per_sec;
        out.bits_per_sample = f.bits_per_sample;
        out.sample_bytes = wave.size;
        if (f.block_align != 0 && f.samples_per_sec != 0)
            out.duration_seconds = static_cast<double>(wave.size / f.block_align) / f.samples_per_sec;
        problem = buffer_problem(f, wave.size);
    }
    if (why != nullptr) *why = problem;
    return problem == nullptr;
}

bool describe_wave_file(const char* path, WaveInfo& out, const char** why) {
    out = WaveInfo{};
    MappedFile file = map_file(path);
    if (file.data == nullptr) {
        if (why != nullptr) *why = "the file cannot be opened and mapped for reading (missing, empty or not a file)";
        return false;
    }
    const bool ok = describe_wave(file.data, file.size, out, why);
    unmap_file(file);
    return ok;
}

int print_wave_report(const char* path, std::FILE* out, std::FILE* err) {
    // A file that cannot be read at all (missing, a directory, no permission) is not a malformed wave.
    if (std::FILE* f = std::fopen(path, "rb")) {
        std::fgetc(f);
        const bool unreadable = std::ferror(f) != 0;
        std::fclose(f);
        if (unreadable) {
            std::fprintf(err, "%s: cannot read: not a file\n", path);
            return kWaveReportUnreadable;
        }
    } else {
        std::fprintf(err, "%s: cannot read: %s\n", path, std::strerror(errno));
        return kWaveReportUnreadable;
    }
    WaveInfo info;
    const char* why = nullptr;
    const bool loads = describe_wave_file(path, info, &why);
    std::FILE* to = loads ? out : err;
    std::fprintf(to, "%s: %s", path, loads ? "loads" : "would not load");
    const char* separator = ": ";
    if (info.parsed) {
        if (info.format_tag == kWaveFormatPcm)
            std::fprintf(to, ": PCM");
        else
            std::fprintf(to, ": format %u", unsigned{info.format_tag});
        std::fprintf(to, ", %u channel%s, %lu Hz, %u bits, %lu sample bytes, %.3f s", unsigned{info.channels},
                     info.channels == 1 ? "" : "s", static_cast<unsigned long>(info.sample_rate),
                     unsigned{info.bits_per_sample}, static_cast<unsigned long>(info.sample_bytes), info.duration_seconds);
        separator = "; ";
    }
    if (!loads) std::fprintf(to, "%s%s", separator, why);
    std::fprintf(to, "\n");
    return loads ? kWaveReportLoads : kWaveReportRefused;
}

}  // namespace tarvenol::snd
