// Reading wave images: the chunk layouts that load, the ones that fail, and damaged files that must
// fail without a byte read outside the image (run under AddressSanitizer in the asan preset).
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "sound/wave.h"
#include "sound_test_support.h"
#include "wave_builder.h"

namespace tarvenol::snd {
namespace {

using test::WaveBuilder;
using test::pcm16;

// The image in a heap block of exactly its size, so that any read past it is caught.
struct ExactImage {
    explicit ExactImage(const std::vector<uint8_t>& bytes, std::size_t keep = SIZE_MAX)
        : size(std::min(keep, bytes.size())), data(new uint8_t[size]) {
        std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size), data.get());
    }
    std::size_t size;
    std::unique_ptr<uint8_t[]> data;
};

// The samples found by the last parse, copied out of the image before it goes.
std::vector<uint8_t> last_samples;

WaveError parse(const std::vector<uint8_t>& bytes, WaveImage& wave, std::size_t keep = SIZE_MAX) {
    ExactImage image(bytes, keep);
    const WaveError e = parse_wave(image.data.get(), image.size, wave);
    if (wave.samples != nullptr) {
        last_samples.assign(wave.samples, wave.samples + wave.size);
        wave.samples = last_samples.data();
    }
    return e;
}

std::vector<uint8_t> samples_of(const WaveImage& wave) { return {wave.samples, wave.samples + wave.size}; }

const std::vector<uint8_t> kSamples = pcm16({100, -200, 300, -400, 500});

TEST(WaveLayouts, loads_a_plain_wave_with_its_format_and_samples) {
    WaveImage wave;
    ASSERT_EQ(parse(WaveBuilder().format(2, 11025, 16).data(kSamples).bytes(), wave), WaveError::none);
    EXPECT_EQ(wave.format.format_tag, kWaveFormatPcm);
    EXPECT_EQ(wave.format.channels, 2);
    EXPECT_EQ(wave.format.samples_per_sec, 11025u);
    EXPECT_EQ(wave.format.avg_bytes_per_sec, 11025u * 4);
    EXPECT_EQ(wave.format.block_align, 4);
    EXPECT_EQ(wave.format.bits_per_sample, 16);
    EXPECT_EQ(samples_of(wave), kSamples);
}

TEST(WaveLayouts, loads_with_another_chunk_between_format_and_data) {
    WaveImage wave;
    const auto bytes = WaveBuilder().format().chunk("LIST", {'I', 'N', 'F', 'O', 1, 2, 3, 4}).data(kSamples).bytes();
    ASSERT_EQ(parse(bytes, wave), WaveError::none);
    EXPECT_EQ(samples_of(wave), kSamples);
}

TEST(WaveLayouts, skips_the_fill_byte_of_an_odd_sized_chunk_before_data) {
    WaveImage wave;
    const auto bytes = WaveBuilder().format().chunk("note", {'a', 'b', 'c'}).data(kSamples).bytes();
    ASSERT_EQ(parse(bytes, wave), WaveError::none);
    EXPECT_EQ(samples_of(wave), kSamples);
}

TEST(WaveLayouts, loads_when_data_comes_before_format) {
    WaveImage wave;
    ASSERT_EQ(parse(WaveBuilder().data(kSamples).format(1, 8000, 8).bytes(), wave), WaveError::none);
    EXPECT_EQ(wave.format.samples_per_sec, 8000u);
    EXPECT_EQ(wave.format.bits_per_sample, 8);
    EXPECT_EQ(samples_of(wave), kSamples);
}

TEST(WaveLayouts, takes_the_first_format_and_passes_over_an_empty_data_chunk) {
    WaveImage wave;
    const auto bytes = WaveBuilder().data({}).format(1, 8000, 16).format(2, 44100, 8).data(kSamples).bytes();
    ASSERT_EQ(parse(bytes, wave), WaveError::none);
    EXPECT_EQ(wave.format.samples_per_sec, 8000u);
    EXPECT_EQ(samples_of(wave), kSamples);
}

TEST(WaveLayouts, a_format_of_13_bytes_fails_even_if_a_good_one_follows) {
    WaveImage wave;
    auto short_format = WaveBuilder::format_bytes(1, test::kTestRate, 16);
    short_format.resize(13);
    const auto bytes = WaveBuilder().chunk("fmt ", short_format).format().data(kSamples).bytes();
    EXPECT_EQ(parse(bytes, wave), WaveError::format_too_short);
}

TEST(WaveLayouts, a_format_of_14_bytes_loads_without_its_sample_size) {
    WaveImage wave;
    auto format = WaveBuilder::format_bytes(1, test::kTestRate, 16);
    format.resize(14);
    ASSERT_EQ(parse(WaveBuilder().chunk("fmt ", format).data(kSamples).bytes(), wave), WaveError::none);
    EXPECT_EQ(wave.format.block_align, 2);
    EXPECT_EQ(wave.format.bits_per_sample, 0);
    EXPECT_NE(buffer_problem(wave.format, wave.size), nullptr);
}

TEST(WaveLayouts, copies_format_extension_bytes_only_as_far_as_the_chunk_holds_them) {
    auto extended = WaveBuilder::format_bytes(1, test::kTestRate, 16);
    extended.insert(extended.end(), {22, 0});  // extension size 22, none of it present
    WaveImage wave;
    ASSERT_EQ(parse(WaveBuilder().chunk("fmt ", extended).data(kSamples).bytes(), wave), WaveError::none);
    EXPECT_EQ(wave.format.extra_size, 0);

    for (uint8_t i = 0; i < 22; ++i) extended.push_back(uint8_t(0xA0 + i));
    ASSERT_EQ(parse(WaveBuilder().chunk("fmt ", extended).data(kSamples).bytes(), wave), WaveError::none);
    EXPECT_EQ(wave.format.extra_size, 22);
    EXPECT_EQ(wave.format.extra[21], 0xA0 + 21);
}

TEST(WaveRefusals, an_image_without_riff_and_wave_tags_fails) {
    WaveImage wave;
    auto bytes = WaveBuilder().format().data(kSamples).bytes();
    auto not_riff = bytes;
    not_riff[0] = 'X';
    EXPECT_EQ(parse(not_riff, wave), WaveError::not_riff);
    auto not_wave = bytes;
    not_wave[8] = 'X';
    EXPECT_EQ(parse(not_wave, wave), WaveError::not_wave);
    EXPECT_EQ(parse_wave(nullptr, 100, wave), WaveError::not_riff);
}

TEST(WaveRefusals, a_wave_without_format_or_without_data_fails) {
    WaveImage wave;
    EXPECT_EQ(parse(WaveBuilder().data(kSamples).bytes(), wave), WaveError::no_format);
    EXPECT_EQ(parse(WaveBuilder().format().bytes(), wave), WaveError::no_data);
}

TEST(WaveRefusals, an_empty_data_chunk_after_the_format_parses_but_makes_no_buffer) {
    WaveImage wave;
    ASSERT_EQ(parse(WaveBuilder().format().data({}).bytes(), wave), WaveError::none);
    EXPECT_EQ(wave.size, 0u);
    EXPECT_NE(buffer_problem(wave.format, wave.size), nullptr);
}

TEST(WaveRefusals, a_riff_length_shorter_than_the_chunks_ends_the_scan) {
    WaveImage wave;
    // The length covers "WAVE", the format chunk and the LIST chunk, not the data after them.
    const auto bytes = WaveBuilder().format().chunk("LIST", {1, 2, 3, 4}).data(kSamples).riff_length(4 + 24 + 12).bytes();
    EXPECT_EQ(parse(bytes, wave), WaveError::no_data);
}

TEST(DamagedWaves, every_truncation_of_a_good_wave_fails_cleanly) {
    const auto bytes = WaveBuilder().format().chunk("odd", {1, 2, 3}).data(kSamples).bytes();
    for (std::size_t keep = 0; keep < bytes.size(); ++keep) {
        WaveImage wave;
        EXPECT_NE(parse(bytes, wave, keep), WaveError::none) << "cut to " << keep << " bytes";
        EXPECT_EQ(wave.samples, nullptr) << "cut to " << keep << " bytes";
    }
}

TEST(DamagedWaves, a_riff_length_beyond_the_file_is_bounded_by_the_file) {
    WaveImage wave;
    EXPECT_EQ(parse(WaveBuilder().format().data(kSamples).riff_length(0xFFFFFFFF).bytes(), wave), WaveError::none);
    EXPECT_EQ(samples_of(wave), kSamples);
    EXPECT_EQ(parse(WaveBuilder().format().riff_length(0xFFFFFFF0).bytes(), wave), WaveError::no_data);
}

TEST(DamagedWaves, a_data_size_running_past_the_file_fails) {
    WaveImage wave;
    EXPECT_EQ(parse(WaveBuilder().format().chunk("data", kSamples, kSamples.size() + 1).bytes(), wave),
              WaveError::data_cut);
    EXPECT_EQ(parse(WaveBuilder().format().chunk("data", kSamples, 0xFFFFFFFF).bytes(), wave), WaveError::data_cut);
    EXPECT_EQ(wave.samples, nullptr);
}

TEST(DamagedWaves, a_format_size_running_past_the_file_fails) {
    WaveImage wave;
    const auto format = WaveBuilder::format_bytes(1, test::kTestRate, 16);
    EXPECT_EQ(parse(WaveBuilder().data(kSamples).chunk("fmt ", format, 0xFFFFFFF0).bytes(), wave), WaveError::format_cut);
}

TEST(DamagedWaves, a_huge_chunk_before_the_data_does_not_wrap_the_scan_around) {
    WaveImage wave;
    const auto bytes = WaveBuilder().format().chunk("junk", {1, 2}, 0xFFFFFFFF).data(kSamples).bytes();
    EXPECT_EQ(parse(bytes, wave), WaveError::no_data);
}

TEST(PlayableFormats, accepts_8_and_16_bit_pcm_in_mono_and_stereo) {
    WaveImage wave;
    for (uint16_t channels : {1, 2}) {
        for (uint16_t bits : {8, 16}) {
            ASSERT_EQ(parse(WaveBuilder().format(channels, test::kTestRate, bits).data(kSamples).bytes(), wave), WaveError::none);
            EXPECT_EQ(buffer_problem(wave.format, 8), nullptr) << channels << " channels, " << bits << " bits";
        }
    }
}

TEST(PlayableFormats, refuses_what_the_device_cannot_play) {
    auto format_with = [](auto change) {
        WaveImage wave;
        parse(WaveBuilder().format().data(kSamples).bytes(), wave);
        change(wave.format);
        return buffer_problem(wave.format, 8);
    };
    EXPECT_NE(format_with([](WaveFormat& f) { f.format_tag = 3; }), nullptr);
    EXPECT_NE(format_with([](WaveFormat& f) { f.channels = 3; f.block_align = 6; }), nullptr);
    EXPECT_NE(format_with([](WaveFormat& f) { f.bits_per_sample = 24; f.block_align = 3; }), nullptr);
    EXPECT_NE(format_with([](WaveFormat& f) { f.block_align = 4; }), nullptr);
    EXPECT_NE(format_with([](WaveFormat& f) { f.samples_per_sec = kSampleRateMin - 1; }), nullptr);
    EXPECT_NE(format_with([](WaveFormat& f) { f.samples_per_sec = kSampleRateMax + 1; }), nullptr);
    WaveImage wave;
    parse(WaveBuilder().format().data(kSamples).bytes(), wave);
    EXPECT_NE(buffer_problem(wave.format, kBufferBytesMin - 1), nullptr);
    EXPECT_EQ(buffer_problem(wave.format, kBufferBytesMin), nullptr);
}

TEST(WaveDescription, reports_format_rate_channels_bits_bytes_and_duration) {
    const std::vector<uint8_t> second_of_stereo(44100 * 4, 0);
    const auto bytes = WaveBuilder().format(2, 44100, 16).data(second_of_stereo).bytes();
    WaveInfo info;
    const char* why = "unset";
    ASSERT_TRUE(describe_wave(bytes.data(), bytes.size(), info, &why));
    EXPECT_EQ(why, nullptr);
    EXPECT_EQ(info.format_tag, kWaveFormatPcm);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.sample_rate, 44100u);
    EXPECT_EQ(info.bits_per_sample, 16);
    EXPECT_EQ(info.sample_bytes, second_of_stereo.size());
    EXPECT_DOUBLE_EQ(info.duration_seconds, 1.0);
}

TEST(WaveDescription, says_why_a_wave_would_not_load) {
    WaveInfo info;
    const char* why = nullptr;
    const auto truncated = WaveBuilder().format().chunk("data", kSamples, 1000).bytes();
    EXPECT_FALSE(describe_wave(truncated.data(), truncated.size(), info, &why));
    EXPECT_STREQ(why, describe(WaveError::data_cut));

    const auto float_wave = WaveBuilder().format(1, test::kTestRate, 32, 3).data(kSamples).bytes();
    EXPECT_FALSE(describe_wave(float_wave.data(), float_wave.size(), info, &why));
    EXPECT_STREQ(why, buffer_problem(WaveFormat{3, 1, test::kTestRate, 0, 4, 32}, 10));
    EXPECT_EQ(info.format_tag, 3) << "what was read is still reported";
}

// What print_wave_report writes for a file on each stream, and what it returns.
struct Report {
    int status;
    std::string out, err;
};
std::string contents(std::FILE* f) {
    std::rewind(f);
    std::string text;
    for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
    std::fclose(f);
    return text;
}
Report report_of(const std::string& path) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = print_wave_report(path.c_str(), out, err);
    return {status, contents(out), contents(err)};
}

TEST(WaveFileReport, a_replacement_sound_that_loads_is_described) {
    test::ScratchFile file("report-good.wav", WaveBuilder().format(1, 11025, 16).data(std::vector<uint8_t>(11025, 0)).bytes());
    const Report r = report_of(file.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, file.path() + ": loads: PCM, 1 channel, 11025 Hz, 16 bits, 11025 sample bytes, 0.500 s\n");
    EXPECT_EQ(r.err, "");
}

TEST(WaveFileReport, a_replacement_sound_that_would_not_load_says_why_on_the_error_stream) {
    test::ScratchFile cut("report-cut.wav", WaveBuilder().format(2, 8000, 8).chunk("data", kSamples, 4000).bytes());
    Report r = report_of(cut.path());
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, cut.path() + ": would not load: " + describe(WaveError::data_cut) + "\n");
    EXPECT_EQ(r.out, "");

    test::ScratchFile float_wave("report-float.wav", WaveBuilder().format(2, 48000, 32, 3).data(kSamples).bytes());
    r = report_of(float_wave.path());
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, float_wave.path() + ": would not load: format 3, 2 channels, 48000 Hz, 32 bits, 10 sample bytes, 0.000 s; " +
                         buffer_problem(WaveFormat{3, 2, 48000, 0, 8, 32}, 10) + "\n");
}

TEST(WaveFileReport, a_file_that_cannot_be_read_is_not_called_a_bad_wave) {
    for (const std::string& path : {std::string("no-such-replacement.wav"), std::string(".")}) {
        const Report r = report_of(path);
        EXPECT_EQ(r.status, 3) << path;
        EXPECT_EQ(r.err.rfind(path + ": cannot read", 0), 0u) << r.err;
        EXPECT_EQ(r.out, "") << path;
    }
}

}  // namespace
}  // namespace tarvenol::snd
