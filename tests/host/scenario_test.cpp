// The scenario language: every command, numbers and quotes, and the exit status with file:line.
#include <gtest/gtest.h>

#include <string>

#include "host_test_util.h"

namespace tarvenol::host::testing {
namespace {

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Scenario, a_script_whose_expects_all_hold_exits_0) {
    const RunResult r = run_script("tick 3\nexpect sim:tick_counter == 3\n", quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
    EXPECT_EQ(r.err, "");
}

TEST(Scenario, the_first_failing_expect_exits_1_with_file_line_expected_and_actual) {
    const RunResult r = run_script("tick 2\n# comment\nexpect sim:1 == 5\nexpect sim:1 == 6\n", quiet());
    EXPECT_EQ(r.exit_code, kScenarioExpectFailed);
    EXPECT_TRUE(contains(r.err, "test.scn:3: expect failed: expect sim:1 == 5")) << r.err;
    EXPECT_TRUE(contains(r.err, "expected: sim:1 == 5")) << r.err;
    EXPECT_TRUE(contains(r.err, "actual:   sim:1 (tick_counter) = 2")) << r.err;
    EXPECT_FALSE(contains(r.err, "test.scn:4")) << "the run stops at the first failure";
}

struct MalformedCase {
    const char* line;
    const char* message;
};

class MalformedLine : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedLine, exits_2_with_file_line_and_what_was_expected) {
    const std::string script = std::string("tick\n") + GetParam().line + "\nexpect sim:1 == 999\n";
    const RunResult r = run_script(script, quiet());
    EXPECT_EQ(r.exit_code, kScenarioMalformed) << r.err;
    EXPECT_TRUE(contains(r.err, "test.scn:2: malformed line: ")) << r.err;
    EXPECT_TRUE(contains(r.err, GetParam().message)) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Scenario, MalformedLine,
    ::testing::Values(MalformedCase{"fly away", "expected a command"},
                      MalformedCase{"set no_such_var 1", "a module variable"},
                      MalformedCase{"set batt_1_sw", "set NAME VALUE"},
                      MalformedCase{"set batt_1_sw one", "a number as VALUE"},
                      MalformedCase{"set sound_volume 5", "sound_volume[i]"},
                      MalformedCase{"set sound_volume[25] 5", "an index below 25"},
                      MalformedCase{"sim 2 1", "a simulator variable token or name"},
                      MalformedCase{"sim no_such_token 1", "a simulator variable token or name"},
                      MalformedCase{"hold 61", "a clock variable"},
                      MalformedCase{"click \"tarvenol nothing_t418\" on", "a gauge name"},
                      MalformedCase{"click \"tarvenol elec_batt_t418\" batt_9.on", "a click area of"},
                      MalformedCase{"click tarvenol elec_batt_t418 batt_1.on", "click \"GAUGE NAME\" AREA"},
                      MalformedCase{"expect element testgauge2k nothing shown", "an element of"},
                      MalformedCase{"expect batt_1_sw =< 1", "one of == != < <= > >="},
                      MalformedCase{"expect sound BEEP played", "a sound name"},
                      MalformedCase{"expect key no_such_event", "a key event id"},
                      MalformedCase{"expect window 10030 ajar", "expect window ID open|closed"},
                      MalformedCase{"tick -1", "a frame count"},
                      MalformedCase{"model maybe", "model on|off"},
                      MalformedCase{"click \"testgauge2k hold", "a closing double quote"}));

TEST(Scenario, a_malformed_line_refuses_the_whole_script_before_anything_runs) {
    const RunResult r = run_script("print sim:1\nexpect sim:1 == 5\nbogus\n");
    EXPECT_EQ(r.exit_code, kScenarioMalformed);
    EXPECT_EQ(r.out, "") << "nothing ran";
    EXPECT_TRUE(contains(r.err, "test.scn:3:")) << r.err;
}

TEST(Scenario, numbers_may_be_hex_negative_decimal_or_exponent) {
    const RunResult r = run_script(
        "sim 0x3D -0x10\nexpect sim:ias_kt == -16\n"
        "sim ias_kt 2.5e2\nexpect sim:61 == 250\n"
        "set snd_master_vol_pos -7\nexpect snd_master_vol_pos == -0x7\n"
        "sim eng1_fuel_selector 0xFFFFFFFF\nexpect sim:307 == -1\n",
        quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
}

TEST(Scenario, quotes_group_a_gauge_name_and_a_hash_outside_quotes_starts_a_comment) {
    const RunResult r = run_script(
        "  click   \"tarvenol elec_batt_t418\"   batt_2.off   # battery 2 off\n"
        "expect batt_2_sw == 0 # checked\n",
        quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
}

TEST(Scenario, key_expectations_cover_the_last_tick_command_and_the_clicks_since) {
    const RunResult r = run_script(
        "tick 3\n"
        "expect key 0x102C1 0\n"          // the first of the three frames
        "expect keycount 0x102C1 1\n"
        "expect keycount eng1_mixture_lean 3\n"
        "tick\n"
        "expect nokey master_battery_toggle\n"
        "expect keycount 0x101C3 1\n",
        quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
}

TEST(Scenario, a_key_expected_with_another_value_fails_and_shows_the_values_sent) {
    const RunResult r = run_script("tick\nexpect key 0x102C1 1\n", quiet());
    EXPECT_EQ(r.exit_code, kScenarioExpectFailed);
    EXPECT_TRUE(contains(r.err, "sent with value 0")) << r.err;
}

TEST(Scenario, a_click_sound_counts_until_the_next_tick_command) {
    const RunResult r = run_script(
        "click \"tarvenol elec_batt_t418\" batt_3.on\n"
        "expect sound CLICK played\n"
        "click \"tarvenol elec_batt_t418\" batt_3.on\n"  // no change: no second click
        "tick\n"
        "expect sound CLICK notplayed\n"
        "expect sound CLICK notlooping\n",
        quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
}

TEST(Scenario, a_sound_never_played_fails_the_played_expect) {
    const RunResult r = run_script("tick\nexpect sound TERRAIN played\n", quiet());
    EXPECT_EQ(r.exit_code, kScenarioExpectFailed);
    EXPECT_TRUE(contains(r.err, "0 play-once requests")) << r.err;
}

TEST(Scenario, windows_set_by_the_script_are_the_host_state) {
    const RunResult r = run_script(
        "expect window 10050 closed\nwindow 10050 open\nexpect window 10050 open\n"
        "tick\nexpect window 10050 open\nwindow 10050 closed\nexpect window 10050 closed\n",
        quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
}

TEST(Scenario, element_expectations_read_the_hidden_bit_and_the_last_callback_value) {
    const RunResult r = run_script(
        "set snd_master_vol_pos 3\nset testgauge_hold 1\ntick\n"
        "expect element testgauge2k field_1 value == 3\n"
        "expect element testgauge2k marker hidden\n",
        quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
    const RunResult wrong = run_script("expect element testgauge2k marker shown\n", quiet());
    EXPECT_EQ(wrong.exit_code, kScenarioExpectFailed);
    EXPECT_TRUE(contains(wrong.err, "actual:   hidden")) << wrong.err;
}

TEST(Scenario, print_shows_module_and_simulator_variables_even_when_quiet) {
    const RunResult r = run_script("tick 2\nprint sim:tick_counter batt_1_sw sound_volume[1]\n", quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed);
    EXPECT_TRUE(contains(r.out, "test.scn:2: sim:1 (tick_counter) = 2")) << r.out;
    EXPECT_TRUE(contains(r.out, "test.scn:2: batt_1_sw = 1")) << r.out;
    EXPECT_TRUE(contains(r.out, "test.scn:2: sound_volume[1] = -3100")) << r.out;
}

TEST(Scenario, setting_the_hour_moves_the_time_of_day) {
    const RunResult r = run_script(
        "hold time_of_day\nsim clock_hour 7\nsim clock_minute 5\nsim clock_second 9\n"
        "expect sim:557 == 25509\ntick\nexpect sim:3 == 7\nexpect sim:5 == 9\n",
        quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
}

TEST(Scenario, a_missing_file_is_reported_with_status_2) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(run_scenario_file("no/such/file.scn", {}, out, err), kScenarioMalformed);
    EXPECT_TRUE(contains(read_all(err), "no/such/file.scn: cannot read"));
    std::fclose(out);
    std::fclose(err);
}

TEST(Scenario, the_default_scenario_runs_and_passes) {
    const RunResult r = run_script(kDefaultScenario, quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
}

}  // namespace
}  // namespace tarvenol::host::testing
