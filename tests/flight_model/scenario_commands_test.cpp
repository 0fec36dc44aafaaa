// The scenario language's flight commands and figures, as scripts use them.
#include <gtest/gtest.h>

#include <string>

#include "host/host_test_util.h"

namespace tarvenol::host::testing {
namespace {

TEST(FlightCommands, malformed_flight_lines_are_refused_before_anything_runs) {
    struct Case {
        const char* line;
        const char* says;
    };
    const Case cases[] = {
        {"flight", "flight on|off|runway|report"},
        {"flight up", "flight on|off|runway|report"},
        {"flight on now", "flight on|off|runway|report"},
        {"flight approach 9000 0 1200", "flight approach BEFORE_M"},
        {"flight approach 9000 0 1200 140 5 6", "flight approach BEFORE_M"},
        {"flight approach 9000 0 -10 140", "a height of 0 ft or more"},
        {"flight approach 9000 0 1200 0", "a speed above 0 kt"},
        {"flight approach 9000 nan 1200 140", "a finite figure"},
        {"flight wind 270 -5", "a wind of 0 kt or more"},
        {"flight wind 270", "flight wind FROM_DEG KNOTS"},
        {"expect flight:heigth_ft < 600", "did you mean height_ft"},
        {"print flight:height", "a flight figure"},
    };
    for (const Case& c : cases) {
        const RunResult r = run_script(std::string("tick\n") + c.line + "\n", quiet());
        EXPECT_EQ(r.exit_code, kScenarioMalformed) << c.line;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.line << " gave " << r.err;
        EXPECT_NE(r.err.find("test.scn:2"), std::string::npos) << c.line << " gave " << r.err;
    }
}

TEST(FlightCommands, the_figures_follow_the_flight_and_expects_on_them_hold_or_fail) {
    const RunResult placed = run_script(
        "flight on\n"
        "tick\n"
        "expect flight:on_ground == 1\n"
        "expect flight:height_ft == 0\n"
        "flight approach 5000 -40 1000 150\n"
        "tick\n"
        "expect flight:on_ground == 0\n"
        "expect flight:height_ft ~ 1000 1\n"
        "expect flight:ias_kt ~ 150 0.5\n"
        "expect flight:past_threshold_m ~ -5000 5\n"
        "expect flight:right_of_centreline_m ~ -40 0.1\n"
        "expect flight:landed == 0\n"
        "expect sim:on_ground == 0\n"
        "flight runway\n"
        "tick\n"
        "expect flight:on_ground == 1\n"
        "expect flight:past_threshold_m ~ 0 0.01\n",
        quiet());
    EXPECT_EQ(placed.exit_code, kScenarioPassed) << placed.err;

    const RunResult failed = run_script("flight on\ntick\nexpect flight:height_ft > 10\n", quiet());
    EXPECT_EQ(failed.exit_code, kScenarioExpectFailed);
    EXPECT_NE(failed.err.find("flight:height_ft = 0"), std::string::npos) << failed.err;
}

// Off, the motion variables are the script's; switched off again, the flight stops moving.
TEST(FlightCommands, flight_off_leaves_the_variables_to_the_script) {
    const RunResult r = run_script(
        "sim ias_kt 123\n"
        "tick 5\n"
        "expect sim:ias_kt == 123\n"
        "flight on\n"
        "flight approach 5000 0 1000 150\n"
        "tick 18\n"
        "expect sim:ias_kt > 140\n"
        "flight off\n"
        "sim ias_kt 77\n"
        "sim altitude_m 5\n"
        "tick 18\n"
        "expect sim:ias_kt == 77\n"
        "expect sim:altitude_m == 5\n",
        quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
}

// Anything but a landing fails the run, and the report says what happened instead.
TEST(FlightCommands, the_report_says_so_and_fails_the_run_when_there_was_no_landing) {
    const RunResult r = run_script("flight on\ntick 36\nflight report\n", quiet());
    EXPECT_EQ(r.exit_code, kScenarioExpectFailed) << r.err;
    EXPECT_NE(r.out.find("Flight timeline"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Verdict: NOT LANDED: never left the ground"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("No touchdown."), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("a landing within limits, stopped on the runway"), std::string::npos) << r.err;
    // Flown into the ground short of the runway: the fault, its moment and its place.
    const RunResult crash = run_script(
        "flight on\nflight approach 9000 0 300 200\nsim elevator_pos 6000\ntick 900\nexpect flight:verdict == 2\nflight report\n",
        quiet());
    EXPECT_EQ(crash.exit_code, kScenarioExpectFailed) << crash.err;
    EXPECT_NE(crash.out.find("Verdict: NOT LANDED: IMPACT OFF THE RUNWAY at 0:"), std::string::npos) << crash.out;
}

// A placement outside the flight envelope is refused: below the stall speed for the weight and
// flaps (with full flap the aircraft flies slower), beyond Vmo.
TEST(FlightCommands, a_placement_outside_the_flight_envelope_is_refused) {
    struct Case {
        const char* script;
        int exit_code;
        const char* says;
    };
    const Case cases[] = {
        {"flight on\nflight approach 9000 0 1200 100\n", kScenarioExpectFailed, "100 kt is below the stall speed, 1"},
        {"flight on\nsim flap_pos 16383\nflight approach 9000 0 1200 110\nexpect flight:ias_kt > 109\n", kScenarioPassed, ""},
        {"flight on\nflight approach 9000 0 1200 110\n", kScenarioExpectFailed, "below the stall speed"},
        {"flight on\nflight approach 20000 0 9000 400\n", kScenarioExpectFailed, "beyond the maximum operating speed, 365 kt"},
    };
    for (const Case& c : cases) {
        const RunResult r = run_script(c.script, quiet());
        EXPECT_EQ(r.exit_code, c.exit_code) << c.script << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.script << r.err;
    }
}

// A wind from the right drifts the aircraft left of the centreline.
TEST(FlightCommands, the_wind_command_blows_the_aircraft_off_its_line) {
    const RunResult r = run_script(
        "flight on\n"
        "flight approach 20000 0 3000 200\n"
        "flight wind 353 30\n"  // runway 26 heads 263: 353 is from the right
        "tick 360\n"
        "expect flight:right_of_centreline_m < -250\n",
        quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
}

}  // namespace
}  // namespace tarvenol::host::testing
