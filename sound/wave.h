// Wave images: the RIFF/WAVE layout the cockpit sounds are carried in, read without ever leaving the
// bytes given, and the check that tells whether a wave can become a sound buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace tarvenol::snd {

// The "fmt " chunk laid out as the sound device reads it (WAVEFORMATEX followed by the extension
// bytes of WAVEFORMATEXTENSIBLE). Only the bytes the chunk really holds are copied; the rest is 0,
// and extra_size never claims more extension bytes than were copied.
struct WaveFormat {
    uint16_t format_tag = 0;
    uint16_t channels = 0;
    uint32_t samples_per_sec = 0;
    uint32_t avg_bytes_per_sec = 0;
    uint16_t block_align = 0;
    uint16_t bits_per_sample = 0;
    uint16_t extra_size = 0;
    uint8_t extra[22] = {};
};
static_assert(offsetof(WaveFormat, extra) + sizeof(WaveFormat::extra) == sizeof(WaveFormat),
              "the format record is laid out without padding, as the device reads it");

inline constexpr uint16_t kWaveFormatPcm = 1;

// A parsed wave: its format, and where its samples lie inside the image it was parsed from.
struct WaveImage {
    WaveFormat format;
    bool has_format = false;
    const uint8_t* samples = nullptr;
    uint32_t size = 0;
};

enum class WaveError {
    none,
    not_riff,             // no "RIFF" tag, length and "WAVE" tag at the start
    not_wave,
    chunk_header_cut,     // a chunk header starts inside the wave but the file ends within it
    format_too_short,     // the first "fmt " chunk holds fewer than 14 bytes
    format_cut,           // the "fmt " chunk runs past the end of the file
    data_cut,             // the "data" chunk runs past the end of the file
    no_format,            // the chunks ended without a "fmt " chunk
    no_data,              // ... or without a "data" chunk with samples
};

const char* describe(WaveError error);

// Parses a wave image of image_size bytes. The chunks are scanned from byte 12 up to the end that
// the RIFF length gives, each chunk's data padded to an even length; the first "fmt " chunk gives the
// format (one shorter than 14 bytes fails the wave at once), the first "data" chunk with samples
// gives them, in either order. The RIFF length is not trusted: the scan also stops at the real end of
// the image, and a "fmt " or "data" chunk whose size runs past the real end fails the wave (a damaged
// file is refused rather than played cut short).
WaveError parse_wave(const uint8_t* image, std::size_t image_size, WaveImage& out);

// Buffer limits of the sound device: sizes in bytes and rates in samples per second.
inline constexpr uint32_t kBufferBytesMin = 4;
inline constexpr uint32_t kBufferBytesMax = 0x0FFFFFFF;
inline constexpr uint32_t kSampleRateMin = 100;
inline constexpr uint32_t kSampleRateMax = 200000;

// Why a wave of this format and sample byte count cannot be a sound buffer (8- or 16-bit PCM, mono
// or stereo, a consistent block size, a rate and size within the device's limits), or null if it can.
const char* buffer_problem(const WaveFormat& format, uint32_t bytes);

// What a wave file holds, for users checking a replacement sound.
struct WaveInfo {
    bool parsed = false;  // the chunks were read; the fields below hold what they say
    uint16_t format_tag = 0;
    uint16_t channels = 0;
    uint32_t sample_rate = 0;
    uint16_t bits_per_sample = 0;
    uint32_t sample_bytes = 0;
    double duration_seconds = 0;
};

// Describes a wave image or a wave file the way the engine would load it. On failure returns false
// and, when why is given, points it at a sentence saying why the sound would not load.
bool describe_wave(const uint8_t* image, std::size_t image_size, WaveInfo& out, const char** why);
bool describe_wave_file(const char* path, WaveInfo& out, const char** why);

// Prints what describe_wave_file finds, for a user checking a replacement sound, on `out` when it
// would load and on `err` when not:
//   PATH: loads: PCM, 1 channel, 22050 Hz, 16 bits, 30233 sample bytes, 0.686 s
//   PATH: would not load: its "data" chunk runs past the end of the file
//   PATH: cannot read: No such file or directory
// Returns the command line's exit status: loads, refused (not a wave the cockpit loads), unreadable.
constexpr int kWaveReportLoads = 0;
constexpr int kWaveReportRefused = 2;
constexpr int kWaveReportUnreadable = 3;
int print_wave_report(const char* path, std::FILE* out, std::FILE* err);

}  // namespace tarvenol::snd
