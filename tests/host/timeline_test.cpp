// The timeline: what changed in each frame, printed and as CSV; and the recorded cockpit audio.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "host/simulator.h"
#include "host/timeline.h"
#include "host_test_util.h"
#include "module/host_services.h"
#include "module/shared_state.h"
#include "sound/mixer.h"
#include "sound/sound.h"

namespace tarvenol::host::testing {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Timeline, the_trace_lists_key_events_variables_elements_and_clicks_as_csv) {
    const std::string trace = temp_path("timeline_test_trace.csv");
    ScenarioOptions options;
    options.quiet = true;
    options.trace_path = trace;
    const RunResult r = run_script("tick\nclick \"tarvenol elec_batt_t418\" batt_1.off\ntick\n", options);
    ASSERT_EQ(r.exit_code, kScenarioPassed) << r.err;
    const std::string csv = read_file(trace);
    std::remove(trace.c_str());
    EXPECT_EQ(csv.rfind("frame,time_s,kind,subject,detail,before,after\n", 0), 0u);
    EXPECT_TRUE(contains(csv, "\n1,0.05555555555555555,key,0x102C1,master_battery_toggle,,0\n")) << csv;
    EXPECT_TRUE(contains(csv, "\n1,0.05555555555555555,var,batt_bus_powered,,0,1\n")) << csv;
    EXPECT_TRUE(contains(csv, "\n2,0.1111111111111111,click,tarvenol elec_batt_t418,batt_1.off,,\n")) << csv;
    EXPECT_TRUE(contains(csv, "\n2,0.1111111111111111,sound,CLICK,play once,,\n")) << csv;
    EXPECT_TRUE(contains(csv, "\n2,0.1111111111111111,var,batt_1_sw,,1,0\n")) << csv;
    EXPECT_TRUE(contains(csv, "\n2,0.1111111111111111,element,tarvenol elec_batt_t418,batt_1_sw.off,hidden,shown\n"))
        << csv;
}

TEST(Timeline, a_repeated_key_event_is_printed_when_it_starts_and_when_it_stops) {
    std::FILE* text = std::tmpfile();
    {
        Simulator sim;
        shared.cockpit_init_state = 2;  // the switches as loaded: no start-up setting
        Timeline timeline(text, nullptr, true);
        sim.set_timeline(&timeline);
        sim.frame();
        sim.frame();
        sim.frame();
        sim.model().set_enabled(false);
        send(key::panel_window_open, 10040);  // between frames, as a click would
        sim.frame();
        timeline.finish();
        sim.set_timeline(nullptr);
    }
    const std::string printed = read_all(text);
    std::fclose(text);
    EXPECT_TRUE(contains(printed, "frame 1  0.056 s\n  key     0x102C1  master_battery_toggle")) << printed;
    EXPECT_TRUE(contains(printed, "  key     0x102C1  master_battery_toggle            stopped")) << printed;
    // Sent in every frame with the same value: shown once.
    EXPECT_EQ(printed.find("eng1_mixture_lean"), printed.rfind("eng1_mixture_lean")) << printed;
    EXPECT_TRUE(contains(printed, "frame 4  0.222 s\n")) << printed;
    EXPECT_TRUE(contains(printed, "  key     0x103CB  panel_window_open                value 10040\n")) << printed;
    EXPECT_TRUE(contains(printed, "  window  10040 open\n")) << printed;
}

TEST(Timeline, a_negative_key_value_is_printed_with_its_signed_reading) {
    std::FILE* text = std::tmpfile();
    {
        Simulator sim;
        Timeline timeline(text, nullptr, true);
        sim.set_timeline(&timeline);
        send(key::elevator_trim_set, static_cast<u32>(-2523));
        sim.frame();
        sim.set_timeline(nullptr);
    }
    const std::string printed = read_all(text);
    std::fclose(text);
    EXPECT_TRUE(contains(printed, "0x100AA  elevator_trim_set                value 4294964773 (-2523)\n")) << printed;
}

TEST(Timeline, sounds_are_listed_as_play_once_loop_volume_and_stop) {
    std::FILE* text = std::tmpfile();
    bool looping_while_looped = false;
    bool looping_after_stop = true;
    {
        Simulator sim;
        Timeline timeline(text, nullptr, true);
        sim.set_timeline(&timeline);
        snd::play_loop(snd::HI);
        snd::set_volume(snd::HI, -500);
        sim.frame();
        looping_while_looped = snd::mixer::state("HI").looping;
        snd::stop(snd::HI);
        snd::play_once(snd::RE);
        sim.frame();
        looping_after_stop = snd::mixer::state("HI").looping;
        EXPECT_EQ(sim.play_once_count(snd::RE), 1u);
        sim.set_timeline(nullptr);
    }
    const std::string printed = read_all(text);
    std::fclose(text);
    EXPECT_TRUE(looping_while_looped);
    EXPECT_FALSE(looping_after_stop);
    EXPECT_TRUE(contains(printed, "  sound   HI           loop\n  sound   HI           volume -500\n")) << printed;
    EXPECT_TRUE(contains(printed, "  sound   HI           stop\n  sound   RE           play once\n")) << printed;
}

TEST(Timeline, repeated_requests_and_unchanged_frames_print_nothing) {
    // The brakes sound is told to stop every frame; the battery toggle is sent in the first only.
    const RunResult r = run_script("set cockpit_init_state 2\ntick 30\n");
    ASSERT_EQ(r.exit_code, kScenarioPassed) << r.err;
    std::size_t stops = 0;
    for (std::size_t at = r.out.find("BRAKESSND"); at != std::string::npos; at = r.out.find("BRAKESSND", at + 1)) ++stops;
    EXPECT_LE(stops, 1u) << r.out;
    EXPECT_TRUE(contains(r.out, "(the gauges' first tick: ")) << r.out;
    std::size_t frames = 0;
    for (std::size_t at = r.out.find("\nframe "); at != std::string::npos; at = r.out.find("\nframe ", at + 1)) ++frames;
    EXPECT_LT(frames, 5u) << "only frames with changes: " << r.out;
}

TEST(Timeline, a_watched_value_that_keeps_changing_prints_once_a_second_and_where_it_settles) {
    const std::string trace = temp_path("timeline_test_watch.csv");
    ScenarioOptions options;
    options.trace_path = trace;
    options.watch = {"eng1_n2_pct"};
    // The engine model runs a turning engine down at 2 %/s: from 3 % it stops after 1.5 s.
    const RunResult r = run_script("sim eng1_n2_pct 3\ntick 60\n", options);
    ASSERT_EQ(r.exit_code, kScenarioPassed) << r.err;
    const std::string csv = read_file(trace);
    std::remove(trace.c_str());
    std::size_t printed = 0;
    for (std::size_t at = r.out.find("watch   eng1_n2_pct"); at != std::string::npos;
         at = r.out.find("watch   eng1_n2_pct", at + 1))
        ++printed;
    EXPECT_GE(printed, 2u) << r.out;
    EXPECT_LE(printed, 4u) << r.out;
    EXPECT_TRUE(contains(r.out, "-> 0\n")) << "where it settled: " << r.out;
    EXPECT_TRUE(contains(csv, "\n2,0.1111111111111111,watch,eng1_n2_pct,,")) << "the trace has every frame";
}

TEST(Timeline, the_printed_timeline_ends_with_the_passed_line) {
    const RunResult r = run_script("tick 2\nexpect sim:1 == 2\n");
    EXPECT_EQ(r.exit_code, kScenarioPassed);
    EXPECT_TRUE(contains(r.out, "frame 1  0.056 s")) << r.out;
    EXPECT_TRUE(contains(r.out, "test.scn: passed (1 expects, 2 frames)")) << r.out;
}

TEST(Timeline, the_audio_recording_holds_one_eighteenth_of_a_second_per_frame) {
    const std::string wav = temp_path("timeline_test_audio.wav");
    ScenarioOptions options;
    options.quiet = true;
    options.audio_path = wav;
    const RunResult r = run_script("click \"tarvenol elec_batt_t418\" batt_1.off\ntick 36\n", options);
    ASSERT_EQ(r.exit_code, kScenarioPassed) << r.err;
    const std::string data = read_file(wav);
    std::remove(wav.c_str());
    constexpr std::size_t kWaveHeader = 44;
    constexpr std::size_t kDataBytes = 36 * kAudioSamplesPerFrame * 2;
    ASSERT_EQ(data.size(), kWaveHeader + kDataBytes);
    // The sizes are filled in when the streamed file is closed.
    const auto u32_at = [&data](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(data[at + static_cast<std::size_t>(i)]);
        return v;
    };
    EXPECT_EQ(data.substr(0, 4), "RIFF");
    EXPECT_EQ(u32_at(4), data.size() - 8);
    EXPECT_EQ(data.substr(36, 4), "data");
    EXPECT_EQ(u32_at(40), kDataBytes);
    EXPECT_EQ(u32_at(24), kAudioRate);
    bool heard = false;  // the click is in the recording
    for (std::size_t i = kWaveHeader; i < data.size(); ++i) heard = heard || data[i] != 0;
    EXPECT_TRUE(heard);
}

}  // namespace
}  // namespace tarvenol::host::testing
