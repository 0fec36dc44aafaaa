// The simulator variable store and its token table: every variable the cockpit reads, read back
// through the module's own services in the type the cockpit reads it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "host/sim_tokens.h"
#include "host/simulator.h"
#include "module/host_services.h"

namespace tarvenol::host {
namespace {

TEST(SimVariables, every_token_appears_once_with_a_unique_name_and_a_unit) {
    std::set<int> tokens;
    std::set<std::string> names;
    for (const TokenInfo& t : token_table()) {
        EXPECT_TRUE(tokens.insert(t.token).second) << "token " << t.token << " listed twice";
        EXPECT_TRUE(names.insert(t.name).second) << "name " << t.name << " used twice";
        EXPECT_NE(std::string(t.unit), "") << t.name;
        EXPECT_EQ(find_token(t.name), &t);
        EXPECT_EQ(find_token(t.token), &t);
    }
}

TEST(SimVariables, a_token_is_found_by_name_or_by_its_number_in_decimal_or_hex) {
    EXPECT_EQ(find_token("eng1_n2_pct")->token, 625);
    EXPECT_EQ(find_token("625")->token, 625);
    EXPECT_EQ(find_token("0x271")->token, 625);
    EXPECT_EQ(find_token("on_ground")->type, SimType::f64);
    EXPECT_EQ(find_token("eng1_fuel_selector")->type, SimType::i32);
    EXPECT_EQ(find_token("no_such_variable"), nullptr);
    EXPECT_EQ(find_token("2"), nullptr);  // a token the cockpit never reads
    EXPECT_EQ(find_token("-1"), nullptr);
}

TEST(SimVariables, an_integer_variable_keeps_its_bits_exactly_in_the_low_half) {
    Simulator sim;
    const TokenInfo& flags = *find_token("nav1_flags");
    store_sim(sim.vars(), flags, 0x80000040);  // bit 31 and the glide slope bit
    EXPECT_EQ(sim_i32<46>(), std::numeric_limits<i32>::min() + 0x40);
    EXPECT_EQ(sim.vars().value(46).d, 0x80000040u);
    store_sim(sim.vars(), flags, -2);
    EXPECT_EQ(sim_i32<46>(), -2);
    EXPECT_EQ(read_sim(sim.vars(), flags), -2.0);
}

TEST(SimVariables, a_value_an_integer_variable_cannot_hold_is_truncated_and_saturated) {
    Simulator sim;
    const TokenInfo& selector = *find_token("eng1_fuel_selector");
    store_sim(sim.vars(), selector, 2.7);
    EXPECT_EQ(sim_i32<307>(), 2);
    store_sim(sim.vars(), selector, 1e300);
    EXPECT_EQ(sim_i32<307>(), std::numeric_limits<i32>::max());
    store_sim(sim.vars(), selector, -1e300);
    EXPECT_EQ(sim_i32<307>(), std::numeric_limits<i32>::min());
    store_sim(sim.vars(), selector, std::nan(""));
    EXPECT_EQ(sim_i32<307>(), 0);
}

TEST(SimVariables, a_float_variable_reads_back_every_value_as_set) {
    Simulator sim;
    const TokenInfo& ias = *find_token("ias_kt");
    for (double v : {250.5, -0.0, 1e300, -std::numeric_limits<double>::infinity()}) {
        store_sim(sim.vars(), ias, v);
        EXPECT_EQ(std::signbit(sim_f64<61>()), std::signbit(v));
        EXPECT_EQ(sim_f64<61>(), v);
    }
    store_sim(sim.vars(), ias, std::nan(""));
    EXPECT_TRUE(std::isnan(sim_f64<61>()));
}

TEST(SimVariables, a_blank_simulator_reads_zero_everywhere_and_an_unknown_token_reads_zero) {
    Simulator sim;
    for (const TokenInfo& t : token_table()) EXPECT_EQ(sim.vars().value(t.token).n, 0.0) << t.name;
    EXPECT_EQ(sim_f64<999>(), 0.0);
    EXPECT_EQ(sim_f64<123456>(), 0.0);
}

}  // namespace
}  // namespace tarvenol::host
