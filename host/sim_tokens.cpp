#include "host/sim_tokens.h"

#include <cmath>
#include <cstdint>

#include "host/text.h"
#include "module/numbers.h"

namespace tarvenol::host {

std::span<const TokenInfo> token_table() { return sim::kVars; }

const TokenInfo* find_token(int token) {
    for (const TokenInfo& t : sim::kVars)
        if (t.token == token) return &t;
    return nullptr;
}

const TokenInfo* find_token(std::string_view name_or_number) {
    for (const TokenInfo& t : sim::kVars)
        if (name_or_number == t.name) return &t;
    long long number = 0;
    constexpr long long kMaxToken = 0x7FFFFFFF;
    if (parse_integer(name_or_number, number) && number >= 0 && number <= kMaxToken)
        return find_token(static_cast<int>(number));
    return nullptr;
}

void store_sim(SimVars& vars, const TokenInfo& token, double value) {
    if (token.type == SimType::f64) {
        vars.set_f64(token.token, value);
        return;
    }
    constexpr double kLowest = -2147483648.0;
    constexpr double kHighestBits = 4294967295.0;
    if (value == std::trunc(value) && value >= kLowest && value <= kHighestBits) {
        const auto bits = static_cast<std::uint32_t>(static_cast<std::int64_t>(value));
        vars.set_i32(token.token, static_cast<std::int32_t>(bits));
    } else {
        vars.set_i32(token.token, truncate<std::int32_t>(value));
    }
}

double read_sim(const SimVars& vars, const TokenInfo& token) {
    return token.type == SimType::f64 ? vars.f64(token.token) : static_cast<double>(vars.i32(token.token));
}

}  // namespace tarvenol::host
