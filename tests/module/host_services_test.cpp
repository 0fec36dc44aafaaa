// The conventions every gauge relies on: refresh-before-read simulator variables, exact flag tests,
// tick deadlines, showing and hiding by the hidden bit alone, the flag-bit test and safe truncation.
#include <cmath>
#include <limits>

#include "module/host_services.h"
#include "testbed.h"

namespace tarvenol::testing {
namespace {

TEST(SimVars, every_read_refreshes_the_record_first) {
    TestBed bed;
    bed.sim().set(sim::ias_kt, 12.5);
    EXPECT_EQ(read(sim::ias_kt), 12.5);
    bed.sim().set(sim::ias_kt, -3.0);
    EXPECT_EQ(read(sim::ias_kt), -3.0);
}

TEST(SimVars, an_integer_variable_is_read_from_the_low_half_with_its_bits_intact) {
    TestBed bed;
    bed.sim().set(sim::nav1_flags, -2);
    EXPECT_EQ(read(sim::nav1_flags), -2);
    bed.sim().set(sim::nav1_flags, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(read(sim::nav1_flags), std::numeric_limits<std::int32_t>::min());
}

TEST(SimVars, an_unknown_token_reads_zero) {
    TestBed bed;
    abi::MODULE_VAR unknown{987654, nullptr, 0, {}, {}};  // not in the vocabulary
    EXPECT_EQ(detail::read_f64(unknown), 0.0);
}

TEST(SimVars, a_value_of_0_999_is_neither_on_nor_off) {
    EXPECT_FALSE(is_on(0.999));
    EXPECT_FALSE(is_off(0.999));
    EXPECT_TRUE(is_on(1.0));
    EXPECT_TRUE(is_off(0.0));
    EXPECT_FALSE(is_off(-0.0));  // a different bit pattern
    EXPECT_FALSE(is_on(std::nan("")));
    EXPECT_FALSE(is_off(std::nan("")));
}

TEST(FlagBits, tests_the_low_32_bits_of_the_record_against_the_mask) {
    abi::MODULE_VAR var{};
    var.var_value.d = 0x00000204;
    EXPECT_TRUE(flag_bits(var, 0x4));
    EXPECT_TRUE(flag_bits(var, 0x200));
    EXPECT_FALSE(flag_bits(var, 0x1));
    EXPECT_FALSE(flag_bits(var, 0));
}

TEST(Timers, a_deadline_equal_to_the_counter_is_due_on_that_tick) {
    TestBed bed;
    bed.host().hold(sim::tick_counter.token);
    bed.sim().set(sim::tick_counter, 100.0);
    const i32 deadline = deadline_in(36);
    EXPECT_EQ(deadline, 136);
    bed.sim().set(sim::tick_counter, 135.0);
    EXPECT_FALSE(is_due(deadline));
    bed.sim().set(sim::tick_counter, 136.0);
    EXPECT_TRUE(is_due(deadline));
    bed.sim().set(sim::tick_counter, 137.0);
    EXPECT_TRUE(is_due(deadline));
}

TEST(Timers, a_counter_beyond_the_integer_range_gives_a_saturated_deadline_not_an_overflow) {
    TestBed bed;
    bed.sim().set(sim::tick_counter, 3e9);
    EXPECT_EQ(deadline_in(36), std::numeric_limits<i32>::max());
    bed.sim().set(sim::tick_counter, std::nan(""));
    EXPECT_EQ(deadline_in(36), 0);  // a NaN counter gives a defined deadline
    EXPECT_FALSE(is_due(0));        // and nothing falls due while the counter is NaN
}

TEST(Pictures, showing_or_hiding_touches_only_the_hidden_bit) {
    abi::ELEMENT_HEADER e{};
    e.image_flags = 0x0F00F00F;
    set_visible(e, true);
    EXPECT_EQ(e.image_flags, 0x0F00F00F);
    set_visible(e, false);
    EXPECT_EQ(e.image_flags, 0x4F00F00F);
    set_visible(e, false);
    EXPECT_EQ(e.image_flags, 0x4F00F00F);
    set_visible(e, true);
    EXPECT_EQ(e.image_flags, 0x0F00F00F);
    e.image_flags = static_cast<abi::FLAGS>(0xFFFFFFFFu);
    set_visible(e, true);
    EXPECT_EQ(static_cast<unsigned>(e.image_flags), 0xBFFFFFFFu);
}

TEST(Commands, key_events_and_window_toggles_reach_the_simulator) {
    TestBed bed;
    send(key::master_battery_toggle, 7);
    ASSERT_EQ(bed.host().key_events().size(), 1u);
    EXPECT_EQ(bed.host().key_events()[0].id, 0x102C1u);
    EXPECT_EQ(bed.host().key_events()[0].value, 7u);
    EXPECT_FALSE(bed.host().window_open(10090));
    toggle_window(10090);
    EXPECT_TRUE(bed.host().window_open(10090));
    toggle_window(10090);
    EXPECT_FALSE(bed.host().window_open(10090));
}

TEST(SafeTruncation, truncates_toward_zero_and_defines_nan_infinity_and_huge_values) {
    EXPECT_EQ(truncate<i32>(2.9), 2);
    EXPECT_EQ(truncate<i32>(-2.9), -2);
    EXPECT_EQ(truncate<i32>(std::nan("")), 0);
    EXPECT_EQ(truncate<i32>(std::numeric_limits<double>::infinity()), std::numeric_limits<i32>::max());
    EXPECT_EQ(truncate<i32>(-std::numeric_limits<double>::infinity()), std::numeric_limits<i32>::min());
    EXPECT_EQ(truncate<i32>(1e300), std::numeric_limits<i32>::max());
    EXPECT_EQ(truncate<u32>(-1e300), 0u);
    EXPECT_EQ(truncate<u32>(4294967295.5), 4294967295u);
    EXPECT_EQ(truncate<u8>(255.9), 255);
    EXPECT_EQ(truncate<u8>(256.0), 255);
    EXPECT_EQ(truncate<i8>(-200.0), -128);
    EXPECT_EQ(truncate<u16>(-0.0), 0);
}

TEST(ClampBack, writes_the_clamp_into_the_displayed_variable) {
    i32 amps = 450;
    EXPECT_EQ(clamp_back(amps, -300, 300), 300.0);
    EXPECT_EQ(amps, 300);
    f64 value = std::nan("");
    EXPECT_EQ(clamp_back(value, 0.0, 35.0), 0.0);
    EXPECT_EQ(value, 0.0);
}

}  // namespace
}  // namespace tarvenol::testing
