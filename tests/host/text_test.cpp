// Numbers and names as cockpit-sim reads and writes them for people.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/text.h"

namespace tarvenol::host {
namespace {

TEST(Text, readable_numbers_round_to_six_significant_digits_and_keep_whole_numbers) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.9000000000000002, "0.9"},  {5748.7731883788365, "5748.77"}, {5748.760805847051, "5748.76"},
        {-0.0, "0"},                  {-1e-12, "-1e-12"},               {1800, "1800"},
        {4294967295.0, "4294967295"}, {1234567.8, "1234568"},           {2.8888888888888888, "2.88889"},
        {std::nan(""), "nan"},        {-std::numeric_limits<double>::infinity(), "-inf"},
    };
    for (const Case& c : cases) EXPECT_EQ(format_readable(c.value), c.text) << c.value;
    // The trace keeps what reads back the same.
    EXPECT_EQ(format_number(0.9000000000000002), "0.9000000000000002");
}

TEST(Text, a_number_beyond_a_double_is_no_number) {
    double v = 0;
    EXPECT_FALSE(parse_number("1e400", v));
    EXPECT_FALSE(parse_number("-1e400", v));
    EXPECT_TRUE(parse_number("1e-400", v));  // reads as 0, which is what it means
    EXPECT_EQ(v, 0.0);
    EXPECT_TRUE(parse_number("inf", v));     // written on purpose
}

TEST(Text, control_characters_are_escaped_for_echoing) {
    EXPECT_EQ(escape_control("tick\x01 2\t\r\x1b[2J\x7f"), "tick\\x01 2\\t\\r\\x1B[2J\\x7F");
    EXPECT_EQ(escape_control("caf\xC3\xA9"), "caf\xC3\xA9");
}

TEST(Text, the_nearest_name_is_suggested_only_when_nearly_right) {
    const std::vector<std::string_view> names{"batt_1_sw", "batt_2_sw", "eng1_n2_pct", "apu_n_pct"};
    EXPECT_EQ(nearest_name("bat_1_sw", names), "batt_1_sw");
    EXPECT_EQ(nearest_name("ENG1_N2_PC", names), "eng1_n2_pct");
    EXPECT_EQ(nearest_name("hydraulics", names), "");
}

}  // namespace
}  // namespace tarvenol::host
