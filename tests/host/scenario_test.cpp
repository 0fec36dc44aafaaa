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
                      MalformedCase{"window 12345 open", "a panel window of the cockpit (10030, 10040"},
                      MalformedCase{"expect window 0 open", "a panel window of the cockpit"},
                      MalformedCase{"tick -1", "a frame count"},
                      MalformedCase{"tick 100000001", "a frame count from 0 to 100000000"},
                      MalformedCase{"set batt_1_sw 300", "batt_1_sw is u8, a whole number from 0 to 255: not 300"},
                      MalformedCase{"set batt_1_sw -1", "from 0 to 255: not -1"},
                      MalformedCase{"set batt_1_sw nan", "from 0 to 255: not nan"},
                      MalformedCase{"set batt_charge 1.5", "batt_charge is u32"},
                      MalformedCase{"sim nav1_flags 0x100000000", "nav1_flags is read as INT32"},
                      MalformedCase{"sim nav1_flags 1.5", "INT32, a whole number"},
                      MalformedCase{"sim ias_kt 1e400", "within the range of a double"},
                      MalformedCase{"set bat_1_sw 1", "(did you mean batt_1_sw?)"},
                      MalformedCase{"sim eng1_n2_pc 1", "(did you mean eng1_n2_pct?)"},
                      MalformedCase{"click \"tarvenol elec_bat_t418\" batt_1.on", "did you mean \"tarvenol elec_batt_t418\""},
                      MalformedCase{"click \"tarvenol elec_batt_t418\" bat_1.on", "(did you mean batt_1.on?)"},
                      MalformedCase{"expect element testgauge2k markr shown", "(did you mean marker?)"},
                      MalformedCase{"expect sound CLIK played", "(did you mean CLICK?)"},
                      MalformedCase{"tik 2", "(did you mean tick?)"},
                      MalformedCase{"expect batt_1_sw ~ 1", "expect NAME ~ VALUE TOL"},
                      MalformedCase{"expect batt_1_sw ~ 1 -0.5", "a tolerance of 0 or more"},
                      MalformedCase{"set batt_1_sw \x1b[2J", "\\x1B[2J"},
                      MalformedCase{"model maybe", "model on|off"},
                      MalformedCase{"click \"testgauge2k hold", "a closing double quote"},
                      MalformedCase{"click testgauge2k hold hold 0", "a frame count from 1 to 100000000 after hold"},
                      MalformedCase{"click testgauge2k hold for 3", "click \"GAUGE NAME\" AREA [hold N]"}));

// Far longer than any name the cockpit knows: refused at once, however long (the nearest-name
// search once spent seconds per 100 KB name).
TEST(Scenario, a_name_far_longer_than_any_known_is_refused_without_a_suggestion) {
    const std::string huge(1 << 20, 'q');
    const RunResult r = run_script("set " + huge + " 1\nsim " + huge + " 1\nexpect " + huge + " == 1\nclick \"" + huge +
                                   "\" on\n");
    EXPECT_EQ(r.exit_code, kScenarioMalformed);
    EXPECT_FALSE(contains(r.err, "did you mean"));
    EXPECT_TRUE(contains(r.err, "test.scn:4:"));
}

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
        "set cockpit_init_state 2\n"  // the cockpit as the script leaves it, no start-up setting
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
        "set cockpit_init_state 2\n"  // the cockpit as the script leaves it, no start-up setting
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

TEST(Scenario, every_malformed_line_is_reported_and_nothing_runs) {
    const RunResult r = run_script("tick\nfly\nprint batt_1_sw\nset batt_1_sw 3000\nset batt_1_sw 2\nexpect x ==\n");
    EXPECT_EQ(r.exit_code, kScenarioMalformed);
    EXPECT_TRUE(contains(r.err, "test.scn:2: malformed")) << r.err;
    EXPECT_TRUE(contains(r.err, "test.scn:4: malformed")) << r.err;
    EXPECT_TRUE(contains(r.err, "test.scn:6: malformed")) << r.err;
    EXPECT_TRUE(contains(r.err, "test.scn: 3 malformed lines; nothing ran")) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST(Scenario, a_byte_order_mark_starts_a_script_as_editors_write_it) {
    const RunResult r = run_script("\xEF\xBB\xBFtick 2\nexpect sim:1 == 2\n", quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
}

TEST(Scenario, a_tolerance_expect_holds_within_the_tolerance_inclusive) {
    // 0.1 + 0.2 as a computation leaves it: == 0.3 cannot hold, ~ 0.3 with a tolerance does.
    const RunResult r = run_script(
        "sim ias_kt 0.30000000000000004\nexpect sim:ias_kt ~ 0.3 1e-9\nexpect sim:ias_kt ~ 0.25 0.05000001\n"
        "expect sim:ias_kt ~ 0.2 0.1\n", quiet());
    EXPECT_EQ(r.exit_code, kScenarioExpectFailed);
    EXPECT_TRUE(contains(r.err, "test.scn:4: expect failed")) << r.err;
    EXPECT_TRUE(contains(r.err, "expected: sim:ias_kt within 0.1 of 0.2")) << r.err;
    EXPECT_TRUE(contains(r.err, "actual:   sim:61 (ias_kt) = 0.30000000000000004")) << r.err;
}

TEST(Scenario, a_failure_follows_the_timeline_and_is_repeated_as_the_last_line) {
    std::FILE* both = std::tmpfile();
    const int code = run_scenario("tick 3\nexpect sim:1 == 5\n", "test.scn", {}, both, both);
    const std::string text = read_all(both);
    std::fclose(both);
    EXPECT_EQ(code, kScenarioExpectFailed);
    EXPECT_LT(text.find("frame 1 "), text.find("expect failed")) << text;
    const std::string last = "test.scn:2: failed: expect sim:1 == 5\n";
    ASSERT_GE(text.size(), last.size());
    EXPECT_EQ(text.substr(text.size() - last.size()), last) << text;
}

TEST(Scenario, a_sound_played_before_the_last_tick_is_located_in_the_failure) {
    const RunResult r = run_script("tick\nclick \"tarvenol elec_batt_t418\" batt_1.on\ntick\nexpect sound CLICK played\n", quiet());
    EXPECT_EQ(r.exit_code, kScenarioExpectFailed);
    EXPECT_TRUE(contains(r.err, "CLICK was played by the click at line 2, before the last tick")) << r.err;
    const RunResult never = run_script("tick\nexpect sound CLACKER played\n", quiet());
    EXPECT_TRUE(contains(never.err, "CLACKER was not played in this run")) << never.err;
}

TEST(Scenario, print_shows_element_values_with_their_state) {
    const RunResult r = run_script("set snd_master_vol_pos 3\nset testgauge_hold 1\ntick\nprint testgauge2k:field_1 testgauge2k:marker\n",
                                   quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
    EXPECT_TRUE(contains(r.out, "test.scn:4: testgauge2k:field_1 = 3 (shown, text \"")) << r.out;
    EXPECT_TRUE(contains(r.out, "test.scn:4: testgauge2k:marker = ")) << r.out;
    EXPECT_TRUE(contains(r.out, "(hidden)")) << r.out;
}

TEST(Scenario, a_key_count_holds_over_a_long_tick_whose_log_stays_bounded) {
    // A shut HP lever sends mixture lean every frame: the count is exact however long the tick,
    // while the log keeps a count and a few values per event, not every event.
    const RunResult r = run_script("set cockpit_init_state 2\ntick 5000\nexpect keycount eng1_mixture_lean 5000\nexpect key eng1_mixture_lean 0\n", quiet());
    EXPECT_EQ(r.exit_code, kScenarioPassed) << r.err;
}

TEST(Scenario, a_recording_longer_than_a_wave_file_holds_is_refused_before_it_runs) {
    ScenarioOptions options = quiet();
    options.audio_path = temp_path("scenario_test_too_long.wav");
    const RunResult r = run_script("tick 100000000\ntick 100000000\n", options);
    EXPECT_EQ(r.exit_code, kScenarioMalformed);
    EXPECT_TRUE(contains(r.err, "--audio would record 200000000 frames; a WAV file holds at most")) << r.err;
    EXPECT_EQ(read_file(options.audio_path), "") << "nothing recorded";
}

TEST(Scenario, watch_names_are_checked_with_the_nearest_name) {
    ScenarioOptions options = quiet();
    options.watch = {"eng1_n2_pct", "apu_n1_pc"};
    const RunResult r = run_script("tick\n", options);
    EXPECT_EQ(r.exit_code, kScenarioMalformed);
    EXPECT_TRUE(contains(r.err, "--watch apu_n1_pc: ")) << r.err;
    EXPECT_TRUE(contains(r.err, "did you mean apu_n1_pct")) << r.err;
    EXPECT_EQ(check_watch_name("eng1_n2_pct"), "");
    EXPECT_EQ(check_watch_name("sim:625"), "");
    EXPECT_EQ(check_watch_name("batt_charge"), "");
    EXPECT_EQ(check_watch_name("testgauge2k:field_1"), "");
    EXPECT_TRUE(contains(check_watch_name("eng1_n2_pt"), "did you mean eng1_n2_pct")) << check_watch_name("eng1_n2_pt");
    EXPECT_TRUE(contains(check_watch_name("testgauge2k:feld_1"), "did you mean field_1"));
}

TEST(Scenario, a_missing_file_is_an_input_error_with_status_3) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(run_scenario_file("no/such/file.scn", {}, out, err), kScenarioIoError);
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
