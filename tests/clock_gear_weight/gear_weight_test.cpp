#include <cmath>

#include "fixture.h"

namespace tarvenol::testing {
namespace {

constexpr const char* kGear = "tarvenol gear_ind_t418";
constexpr const char* kHandle = "tarvenol gear_h_t418";
constexpr const char* kMarkers = "tarvenol omi_t418";
constexpr const char* kWeight = "tarvenol plane_weight_t418";

using GearLights = Instruments;

TEST_F(GearLights, follow_the_table_for_handle_and_extension) {
    const struct {
        double handle, extension;
        bool green, red, door;
    } cases[] = {
        {0, 16384, true, true, false}, {0, 16000, true, true, false}, {0, 12000, true, true, true},
        {0, 9000, true, true, true},   {0, 8999, false, true, true},  {0, 3000, false, true, true},
        {0, 2999, false, false, true}, {0, 10, false, false, true},   {0, 9, false, false, false},
        {1, 0, false, true, false},    {1, 300, false, true, false},  {1, 301, false, true, true},
        {1, 13000, false, true, true}, {1, 14000, true, false, true}, {1, 16000, true, false, true},
        {1, 16001, true, false, false}, {0, NAN, false, false, false}, {1, -5, false, true, false},
    };
    for (const auto& c : cases) {
        sim(sim::gear_handle, c.handle);
        sim(sim::gear_nose_pos, c.extension);
        bed.tick();
        EXPECT_EQ(lit(kGear, "nose_green"), c.green) << c.handle << " " << c.extension;
        EXPECT_EQ(lit(kGear, "nose_red"), c.red) << c.handle << " " << c.extension;
        EXPECT_EQ(lit(kGear, "nose_door"), c.door) << c.handle << " " << c.extension;
    }
}

TEST_F(GearLights, lamp_test_lights_a_gear_at_rest_and_power_loss_darkens_all) {
    sim(sim::gear_handle, 0);
    shared.ann_lt_test = 1;
    bed.host().before_each_gauge = [] {
        shared.batt_bus_powered = 1;
        shared.ann_lt_test = 1;
    };
    bed.tick();
    for (const char* l : {"left_green", "nose_red", "right_door"}) EXPECT_TRUE(lit(kGear, l)) << l;
    bed.host().before_each_gauge = [] {
        shared.batt_bus_powered = 0;
        shared.ann_lt_test = 1;
    };
    bed.tick();
    for (const char* l : {"left_green", "nose_red", "right_door"}) EXPECT_FALSE(lit(kGear, l)) << l;
}

TEST_F(GearLights, handle_clicks_send_the_gear_keys_and_the_handle_follows_the_simulator) {
    bed.click(kHandle, "gear.down");
    EXPECT_TRUE(bed.sent(key::gear_down));
    EXPECT_EQ(var("gear_handle_pos"), 58);
    bed.click(kHandle, "gear.neutral");
    EXPECT_EQ(var("gear_handle_pos"), 0);
    bed.click(kHandle, "gear.up");
    EXPECT_TRUE(bed.sent(key::gear_up));
    EXPECT_EQ(var("gear_handle_pos"), -58);

    // The simulator's handle goes down by another control: the handle follows with power only.
    batt_bus = 0;
    sim(sim::gear_handle, 16383);
    bed.tick();
    EXPECT_EQ(var("gear_handle_pos"), -58);
    batt_bus = 1;
    bed.tick();
    EXPECT_EQ(var("gear_handle_pos"), 58);
    EXPECT_EQ(bed.value(kHandle, "gear_handle"), 58);
    sim(sim::gear_handle, 0);
    bed.tick();
    EXPECT_EQ(var("gear_handle_pos"), -58);
}

using MarkerLights = Instruments;

TEST_F(MarkerLights, show_the_beacon_received) {
    const struct {
        double beacon;
        bool outer, middle, inner;
    } cases[] = {{0, false, false, false}, {1, true, false, false}, {2, false, true, false},
                 {3, false, false, true},  {4, false, false, false}, {NAN, false, false, false}};
    for (const auto& c : cases) {
        sim(sim::marker_beacon, c.beacon);
        bed.tick();
        EXPECT_EQ(lit(kMarkers, "outer_marker"), c.outer) << c.beacon;
        EXPECT_EQ(lit(kMarkers, "middle_marker"), c.middle) << c.beacon;
        EXPECT_EQ(lit(kMarkers, "inner_marker"), c.inner) << c.beacon;
    }
    dc = 0;
    sim(sim::marker_beacon, 1);
    bed.tick();
    EXPECT_FALSE(lit(kMarkers, "outer_marker"));
}

TEST_F(MarkerLights, test_runs_inner_middle_outer_over_68_ticks_with_their_tones) {
    bed.tick();  // the DC bus comes up
    bed.click(kMarkers, "test");
    std::string seen;
    int ticks = 0;
    for (; ticks < 100; ++ticks) {
        bed.tick();
        const char now = lit(kMarkers, "inner_marker") ? 'I' : lit(kMarkers, "middle_marker") ? 'M'
                         : lit(kMarkers, "outer_marker") ? 'O' : '-';
        if (seen.empty() || seen.back() != now) seen += now;
        if (now == '-') break;
    }
    EXPECT_EQ(seen, "IMO-");
    EXPECT_EQ(ticks, 68);
    for (const char* tone : {"INNER", "MIDDLE", "OUTER"}) EXPECT_EQ(snd::mixer::state(tone).play_once_requests, 1u) << tone;
    bed.click(kMarkers, "test");
    dc = 0;
    bed.tick();
    dc = 1;
    bed.tick();
    EXPECT_FALSE(lit(kMarkers, "inner_marker"));  // power loss ends the test
}

using Weight = Instruments;

TEST_F(Weight, zero_fuel_weight_buttons_stop_at_their_ends) {
    bed.click(kWeight, "zfw.minus");
    EXPECT_EQ(var("zfw_setting"), 1000);
    bed.click(kWeight, "zfw.minus");
    EXPECT_EQ(var("zfw_setting"), 1000);
    set_var("zfw_setting", 1210);
    bed.click(kWeight, "zfw.plus");
    EXPECT_EQ(var("zfw_setting"), 1220);
    bed.click(kWeight, "zfw.plus");
    EXPECT_EQ(var("zfw_setting"), 1220);
}

TEST_F(Weight, gross_weight_is_the_setting_plus_fuel_and_freezes_without_power) {
    sim(sim::fuel_total_lb, 22046);
    bed.tick();
    EXPECT_NEAR(shared.gross_weight_100kg, 1109.87, 0.01);
    EXPECT_FALSE(lit(kWeight, "off_flag"));
    bed.tick(20);
    EXPECT_EQ(bed.value(kWeight, "gross_thousands_drum"), 1);
    EXPECT_EQ(bed.value(kWeight, "gross_hundreds_drum"), 1);
    EXPECT_EQ(bed.value(kWeight, "gross_tens_drum"), 0);
    EXPECT_EQ(bed.value(kWeight, "gross_units_drum"), 9);
    EXPECT_EQ(bed.value(kWeight, "fuel_thousands_drum"), 0);  // 998.7 tens of kg
    EXPECT_EQ(bed.value(kWeight, "fuel_hundreds_drum"), 9);

    dc = 0;
    sim(sim::fuel_total_lb, 0);
    bed.tick();
    EXPECT_NEAR(shared.gross_weight_100kg, 1109.87, 0.01);
    EXPECT_TRUE(lit(kWeight, "off_flag"));
}

TEST_F(Weight, impossible_fuel_readings_show_no_negative_digits) {
    for (const double lb : {-5000.0, -1e300, double(NAN), 1e300}) {
        sim(sim::fuel_total_lb, lb);
        bed.tick();
        EXPECT_GE(shared.gross_weight_100kg, 1010.0) << lb;
        EXPECT_LE(shared.gross_weight_100kg, 9999.0) << lb;
        for (const char* d : {"fuel_thousands_drum", "fuel_hundreds_drum", "fuel_tens_drum", "gross_units_drum"}) {
            EXPECT_GE(bed.value(kWeight, d), 0.0) << lb << d;
            EXPECT_LT(bed.value(kWeight, d), 10.0) << lb << d;
        }
    }
}

}  // namespace
}  // namespace tarvenol::testing
