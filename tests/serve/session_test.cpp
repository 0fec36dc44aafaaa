// A scenario run a line at a time, as the live cockpit drives it: lines go through the scenario
// parser with its messages, frames come in between, and what was done replays to the same timeline.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "host/scenario.h"
#include "host/simulator.h"

namespace tarvenol::host {
namespace {

// What a stdio stream received, read back.
std::string contents(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string s;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) s.append(buffer, n);
    return s;
}

struct Streams {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::FILE* csv = std::tmpfile();
    ~Streams() {
        for (std::FILE* f : {out, err, csv}) std::fclose(f);
    }
};

// A script run as cockpit-sim run runs it: exit status, messages, and its CSV trace.
struct Replay {
    int status;
    std::string err;
    std::string trace;
};
Replay replay(const std::string& script, const std::string& name = "console") {
    Streams s;
    const char* path = "live_session_trace.csv";  // in the test's working folder
    ScenarioOptions options;
    options.quiet = true;
    options.trace_path = path;
    Replay r;
    r.status = run_scenario(script, name, options, s.out, s.err);
    r.err = contents(s.err);
    std::FILE* t = std::fopen(path, "rb");
    r.trace = t ? contents(t) : std::string();
    if (t) std::fclose(t);
    std::remove(path);
    return r;
}

constexpr const char* kBatteries = "\"tarvenol elec_batt_t418\"";

TEST(LiveSession, what_was_done_replays_to_the_same_timeline) {
    Streams s;
    std::string recorded;
    {
        ScenarioSession session("console", s.out, s.err, s.csv);
        ASSERT_EQ(session.run_line("sim on_ground 1"), kScenarioPassed);
        ASSERT_TRUE(session.advance(7));
        ASSERT_EQ(session.run_line(std::string("click ") + kBatteries + " batt_1.on"), kScenarioPassed);
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(session.advance(1));  // frames as time passes
        ASSERT_EQ(session.run_line("# a comment changes nothing"), kScenarioPassed);
        ASSERT_EQ(session.run_line(std::string("click ") + kBatteries + " batt_2.off"), kScenarioPassed);
        ASSERT_EQ(session.run_line("tick 5"), kScenarioPassed);
        ASSERT_TRUE(session.advance(2));  // part of the tick; the line after it runs the rest first
        ASSERT_EQ(session.run_line("expect batt_1_sw == 0"), kScenarioExpectFailed);
        ASSERT_TRUE(session.advance(4));
        ASSERT_EQ(session.run_line("set batt_3_sw 0"), kScenarioPassed);
        ASSERT_TRUE(session.advance(20));
        ASSERT_EQ(session.run_line(std::string("click ") + kBatteries + " batt_3.norm"), kScenarioPassed);
        EXPECT_EQ(session.simulator().frames_run(), 7 + 3 + 5 + 4 + 20);
        recorded = session.recorded();
        session.finish();
    }
    const std::string live = contents(s.csv);
    EXPECT_NE(recorded.find("tick 3\n"), std::string::npos) << recorded;
    EXPECT_NE(recorded.find("tick 5\n# expect batt_1_sw == 0   (did not hold at frame 15)\ntick 4\n"), std::string::npos)
        << recorded;
    const Replay r = replay(recorded);
    EXPECT_EQ(r.status, kScenarioPassed) << r.err;
    EXPECT_EQ(r.trace, live);
    EXPECT_NE(live.find("click,tarvenol elec_batt_t418,batt_3.norm"), std::string::npos) << "clicks after the last frame";
}

TEST(LiveSession, frames_as_time_passes_are_one_tick_for_the_expects_after_them) {
    Streams s;
    ScenarioSession session("console", s.out, s.err, s.csv);
    // The battery gauge switches the simulator's battery on in the first frame only.
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(session.advance(1));
    EXPECT_EQ(session.run_line("expect key master_battery_toggle"), kScenarioPassed) << contents(s.err);
    EXPECT_EQ(session.run_line("expect keycount master_battery_toggle 1"), kScenarioPassed) << contents(s.err);
    // After a command, the frames that follow are a tick of their own.
    ASSERT_TRUE(session.advance(3));
    EXPECT_EQ(session.run_line("expect nokey master_battery_toggle"), kScenarioPassed) << contents(s.err);
    EXPECT_NE(session.recorded().find("tick 5\n"), std::string::npos) << session.recorded();
}

TEST(LiveSession, a_tick_runs_its_frames_as_they_are_advanced_and_before_the_next_line) {
    Streams s;
    ScenarioSession session("console", s.out, s.err, s.csv);
    ASSERT_EQ(session.run_line("tick 40"), kScenarioPassed);
    EXPECT_EQ(session.pending_frames(), 40);
    EXPECT_EQ(session.simulator().frames_run(), 0);
    ASSERT_TRUE(session.advance(15));
    EXPECT_EQ(session.pending_frames(), 25);
    EXPECT_EQ(session.simulator().frames_run(), 15);
    ASSERT_EQ(session.run_line("print batt_bus_powered"), kScenarioPassed);
    EXPECT_EQ(session.pending_frames(), 0);
    EXPECT_EQ(session.simulator().frames_run(), 40);
    EXPECT_NE(contents(s.out).find("console:2: batt_bus_powered = 1"), std::string::npos) << contents(s.out);
}

// A line that comes in while a long tick runs (as the live cockpit lets it) cuts the tick where it
// is and the rest runs after it; a cancelled tick is kept as far as it ran; the pilot's keys are
// kept as key lines. The whole replays to the same timeline.
TEST(LiveSession, a_tick_cut_by_a_line_or_cancelled_replays_as_it_ran) {
    Streams s;
    std::string recorded;
    {
        ScenarioSession session("console", s.out, s.err, s.csv);
        ASSERT_EQ(session.run_line("model on"), kScenarioPassed);
        ASSERT_EQ(session.run_line("tick 100"), kScenarioPassed);
        ASSERT_TRUE(session.advance(30));
        const long long rest = session.cut_tick();
        EXPECT_EQ(rest, 70);
        ASSERT_EQ(session.run_line("key com2_transmit_select"), kScenarioPassed);
        session.resume_tick(rest);
        EXPECT_EQ(session.pending_frames(), 70);
        ASSERT_TRUE(session.advance(25));
        EXPECT_EQ(session.cut_tick(), 45) << "cancelled";
        EXPECT_EQ(session.pending_frames(), 0);
        ASSERT_EQ(session.run_line("expect sim:com2_transmit == 1"), kScenarioPassed) << contents(s.err);
        ASSERT_EQ(session.run_line("key elevator_set -4096"), kScenarioPassed);
        ASSERT_EQ(session.run_line("expect sim:elevator_pos == -4096"), kScenarioPassed) << contents(s.err);
        ASSERT_TRUE(session.advance(3));
        EXPECT_EQ(session.simulator().frames_run(), 30 + 25 + 3);
        EXPECT_EQ(session.cut_tick(), 0) << "no tick command running";
        recorded = session.recorded();
        session.finish();
    }
    EXPECT_NE(recorded.find("\ntick 30\nkey com2_transmit_select\ntick 25\nexpect sim:com2_transmit == 1\n"
                            "key elevator_set -4096\n"),
              std::string::npos)
        << recorded;
    const Replay r = replay(recorded);
    EXPECT_EQ(r.status, kScenarioPassed) << r.err;
    EXPECT_EQ(r.trace, contents(s.csv));
}

TEST(LiveSession, a_malformed_line_gives_the_scenario_parsers_message_and_is_not_kept) {
    struct Case {
        const char* line;
    };
    const Case cases[] = {{"sett batt_1_sw 1"}, {"set batt_1_sw 300"}, {"click \"tarvenol nowhere\" x"},
                          {"tick -1"}, {"expect batt_1_sw =="}, {"set \"batt_1_sw 1"}, {"key"},
                          {"key no_such_event"}, {"key 0x12345"}, {"key elevator_set 1e12"}};
    for (const Case& c : cases) {
        Streams s;
        ScenarioSession session("console", s.out, s.err, s.csv);
        const std::string before = session.recorded();
        EXPECT_EQ(session.run_line(c.line), kScenarioMalformed) << c.line;
        EXPECT_EQ(session.recorded(), before) << c.line;
        const std::string live_message = contents(s.err);
        session.finish();
        // The same line in a file: the same message, and nothing runs.
        std::string file_message;
        {
            Streams f;
            EXPECT_EQ(run_scenario(c.line, "console", ScenarioOptions{}, f.out, f.err), kScenarioMalformed);
            file_message = contents(f.err);
        }
        EXPECT_FALSE(live_message.empty()) << c.line;
        EXPECT_EQ(file_message.substr(0, live_message.size()), live_message) << c.line;
    }
}

TEST(LiveSession, a_line_is_one_line_however_many_it_is_given) {
    Streams s;
    ScenarioSession session("console", s.out, s.err, s.csv);
    ASSERT_EQ(session.run_line("set batt_1_sw 0\nset batt_2_sw 0"), kScenarioPassed);
    double b1 = -1, b2 = -1;
    std::string error;
    ASSERT_TRUE(session.read("batt_1_sw", b1, error)) << error;
    ASSERT_TRUE(session.read("batt_2_sw", b2, error)) << error;
    EXPECT_EQ(b1, 0);
    EXPECT_NE(b2, 0);
    EXPECT_EQ(session.recorded().find("batt_2_sw"), std::string::npos);
}

TEST(LiveSession, watched_values_read_as_the_watch_option_names_them) {
    Streams s;
    ScenarioSession session("console", s.out, s.err, s.csv);
    ASSERT_EQ(session.run_line("sim eng1_n2_pct 42.5"), kScenarioPassed);
    double v = 0;
    std::string error;
    ASSERT_TRUE(session.read("eng1_n2_pct", v, error)) << error;
    EXPECT_EQ(v, 42.5);
    ASSERT_TRUE(session.read("sim:eng1_n2_pct", v, error)) << error;
    EXPECT_EQ(v, 42.5);
    EXPECT_FALSE(session.read("batt_1_swx", v, error));
    EXPECT_NE(error.find("did you mean batt_1_sw"), std::string::npos) << error;
}

}  // namespace
}  // namespace tarvenol::host
