// Rolling digit drums: carry drums that roll only in the last unit before the carry, and animated
// drums that move a quarter digit per frame and take the short way over the 9-0 seam.
#include <gtest/gtest.h>

#include <cmath>

#include "module/drums.h"

namespace tarvenol {
namespace {

TEST(CarryDrums, stand_on_their_digit_until_the_last_unit_before_the_carry) {
    EXPECT_DOUBLE_EQ(carry_drum(3456.0, 1000.0), 3.0);
    EXPECT_DOUBLE_EQ(carry_drum(3456.0, 100.0), 4.0);
    EXPECT_DOUBLE_EQ(carry_drum(3456.0, 10.0), 5.0);
    EXPECT_DOUBLE_EQ(carry_drum(3456.0, 10000.0), 0.0);
    EXPECT_DOUBLE_EQ(carry_drum(12345.0, 10000.0), 1.0);
    EXPECT_DOUBLE_EQ(carry_drum(12345.0, 1000.0), 2.0);
}

TEST(CarryDrums, at_9999_5_every_drum_is_half_way_through_its_carry) {
    EXPECT_NEAR(carry_drum(9999.5, 10000.0), 0.5, 1e-6);
    EXPECT_NEAR(carry_drum(9999.5, 1000.0), 9.5, 1e-6);
    EXPECT_NEAR(carry_drum(9999.5, 100.0), 9.5, 1e-6);
    EXPECT_NEAR(carry_drum(9999.5, 10.0), 9.5, 1e-6);
    EXPECT_NEAR(units_drum(9999.5), 9.5, 1e-6);
}

TEST(CarryDrums, the_units_drum_turns_continuously_and_shows_0_past_9_999) {
    EXPECT_NEAR(units_drum(1234.25), 4.25, 1e-9);
    EXPECT_EQ(units_drum(9.9995), 0.0);
}

TEST(AnimatedDrums, move_a_quarter_digit_per_frame_and_snap_within_0_2) {
    DigitDrum d;
    EXPECT_EQ(d.step(1), 0.25);
    EXPECT_EQ(d.step(1), 0.5);
    EXPECT_EQ(d.step(1), 0.75);
    EXPECT_EQ(d.step(1), 1.0);  // 0.75 + 0.25
    d.position = 1.85;
    EXPECT_EQ(d.step(2), 2.0);  // within 0.2: snaps
    EXPECT_EQ(d.step(0), 1.75);
}

TEST(AnimatedDrums, go_from_0_to_9_backwards_over_the_seam) {
    DigitDrum d;
    EXPECT_DOUBLE_EQ(d.step(9), 9.9);
    EXPECT_DOUBLE_EQ(d.step(9), 9.65);
    EXPECT_DOUBLE_EQ(d.step(9), 9.4);
    EXPECT_DOUBLE_EQ(d.step(9), 9.15);
    EXPECT_DOUBLE_EQ(d.step(9), 9.0);
}

TEST(AnimatedDrums, go_from_9_to_0_forwards_over_the_seam) {
    DigitDrum d{9.0};
    EXPECT_DOUBLE_EQ(d.step(0), 9.25);
    EXPECT_DOUBLE_EQ(d.step(0), 9.5);
    EXPECT_DOUBLE_EQ(d.step(0), 9.75);
    EXPECT_DOUBLE_EQ(d.step(0), 10.0);
    EXPECT_DOUBLE_EQ(d.step(0), 0.0);
}

TEST(AnimatedDrums, a_four_position_drum_wraps_between_3_and_0) {
    DigitDrum d;
    EXPECT_DOUBLE_EQ(d.step(3, 4), 3.9);
    DigitDrum e{3.0};
    EXPECT_DOUBLE_EQ(e.step(0, 4), 3.25);
}

TEST(AnimatedDrums, a_drum_exactly_at_the_edge_of_the_snap_zone_stays_put) {
    // Exactly 0.2 below its digit a drum is neither within the snap nor below it: no rule moves it.
    DigitDrum d{3.0 - 0.2};
    const double edge = d.position;
    EXPECT_EQ(d.step(3), edge);
}

TEST(AnimatedDrums, a_lost_position_comes_back_to_a_digit) {
    DigitDrum d{std::nan("")};
    for (int i = 0; i < 40; ++i) d.step(5);
    EXPECT_EQ(d.position, 5.0);
}

}  // namespace
}  // namespace tarvenol
