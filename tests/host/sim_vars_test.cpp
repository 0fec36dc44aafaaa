// The simulator variable store and its token table: every variable the cockpit reads, read back
// through the module's own services in the type the cockpit reads it.
#include <gtest/gtest.h>

#include <cmath>
#include <concepts>
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
    EXPECT_EQ(find_token("eng1_n2_pct")->token, sim::eng1_n2_pct.token);
    EXPECT_EQ(find_token("625")->token, sim::eng1_n2_pct.token);
    EXPECT_EQ(find_token("0x271")->token, sim::eng1_n2_pct.token);
    EXPECT_EQ(find_token("on_ground")->type, SimType::f64);
    EXPECT_EQ(find_token("eng1_fuel_selector")->type, SimType::i32);
    EXPECT_EQ(find_token("no_such_variable"), nullptr);
    EXPECT_EQ(find_token("2"), nullptr);  // a token the cockpit never reads
    EXPECT_EQ(find_token("-1"), nullptr);
}

// A variable is read in the one type its vocabulary entry gives it: nothing reads a 32-bit flag word
// as a FLOAT64, or a FLOAT64 as an integer.
template <class Var>
concept read_as_double = requires(Var v) {
    { read(v) } -> std::same_as<double>;
};
template <class Var>
concept read_as_int32 = requires(Var v) {
    { read(v) } -> std::same_as<i32>;
};
static_assert(read_as_double<decltype(sim::ias_kt)> && !read_as_int32<decltype(sim::ias_kt)>);
static_assert(read_as_int32<decltype(sim::nav1_flags)> && !read_as_double<decltype(sim::nav1_flags)>);
static_assert(!read_as_double<int> && !read_as_int32<int>, "a bare token number cannot be read");

TEST(SimVariables, every_vocabulary_entry_reads_back_in_its_own_type_through_the_module) {
    Simulator sim;
    constexpr double kFloatValue = 1234.5;
    constexpr double kFlagWord = 0x80000041;  // a value only a 32-bit integer read keeps whole
#define TARVENOL_READ_BACK(name, token, type, unit)                                                   \
    store_sim(sim.vars(), *find_token(#name), sim::ReadAs::type == sim::ReadAs::f64 ? kFloatValue : kFlagWord); \
    EXPECT_EQ(static_cast<double>(read(sim::name)),                                                   \
              sim::ReadAs::type == sim::ReadAs::f64 ? kFloatValue : static_cast<double>(std::numeric_limits<i32>::min() + 0x41)) \
        << #name;
    TARVENOL_SIM_VARS(TARVENOL_READ_BACK)
#undef TARVENOL_READ_BACK
}

TEST(SimVariables, an_integer_variable_keeps_its_bits_exactly_in_the_low_half) {
    Simulator sim;
    const TokenInfo& flags = *find_token("nav1_flags");
    store_sim(sim.vars(), flags, 0x80000040);  // bit 31 and the glide slope bit
    EXPECT_EQ(read(sim::nav1_flags), std::numeric_limits<i32>::min() + 0x40);
    EXPECT_EQ(sim.vars().value(sim::nav1_flags.token).d, 0x80000040u);
    store_sim(sim.vars(), flags, -2);
    EXPECT_EQ(read(sim::nav1_flags), -2);
    EXPECT_EQ(read_sim(sim.vars(), flags), -2.0);
}

TEST(SimVariables, a_value_an_integer_variable_cannot_hold_is_truncated_and_saturated) {
    Simulator sim;
    const TokenInfo& selector = *find_token("eng1_fuel_selector");
    store_sim(sim.vars(), selector, 2.7);
    EXPECT_EQ(read(sim::eng1_fuel_selector), 2);
    store_sim(sim.vars(), selector, 1e300);
    EXPECT_EQ(read(sim::eng1_fuel_selector), std::numeric_limits<i32>::max());
    store_sim(sim.vars(), selector, -1e300);
    EXPECT_EQ(read(sim::eng1_fuel_selector), std::numeric_limits<i32>::min());
    store_sim(sim.vars(), selector, std::nan(""));
    EXPECT_EQ(read(sim::eng1_fuel_selector), 0);
}

TEST(SimVariables, a_float_variable_reads_back_every_value_as_set) {
    Simulator sim;
    const TokenInfo& ias = *find_token("ias_kt");
    for (double v : {250.5, -0.0, 1e300, -std::numeric_limits<double>::infinity()}) {
        store_sim(sim.vars(), ias, v);
        EXPECT_EQ(std::signbit(read(sim::ias_kt)), std::signbit(v));
        EXPECT_EQ(read(sim::ias_kt), v);
    }
    store_sim(sim.vars(), ias, std::nan(""));
    EXPECT_TRUE(std::isnan(read(sim::ias_kt)));
}

TEST(SimVariables, a_blank_simulator_reads_zero_everywhere_and_an_unknown_token_reads_zero) {
    Simulator sim;
    for (const TokenInfo& t : token_table()) EXPECT_EQ(sim.vars().value(t.token).n, 0.0) << t.name;
    for (int unlisted : {999, 123456})  // not in the vocabulary
        EXPECT_EQ(sim.vars().value(unlisted).n, 0.0) << unlisted;
}

}  // namespace
}  // namespace tarvenol::host
