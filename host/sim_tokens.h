// The simulator's variables as the stand-in host knows them: every token the cockpit reads, the
// type it is read as (FLOAT64, or a 32-bit integer in the low half of the value field), a readable
// name for scenarios and the unit it is read in.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "host/panel_host.h"
#include "module/sim_vocabulary.h"

namespace tarvenol::host {

// The cockpit's own list of the variables it reads.
using SimType = sim::ReadAs;
using TokenInfo = sim::VarInfo;

std::span<const TokenInfo> token_table();

const TokenInfo* find_token(int token);
// By name (e.g. "eng1_n2_pct") or by number, decimal or 0x hex (e.g. "625").
const TokenInfo* find_token(std::string_view name_or_number);

// Stores a value as the token is read: FLOAT64 as it is; a 32-bit integer keeps its bits exactly
// when the value is a whole number from -2^31 to 2^32-1 (so flag words such as 0x80000000 go in
// whole), anything else is truncated with saturation.
void store_sim(SimVars& vars, const TokenInfo& token, double value);
// The value as the cockpit would read it.
double read_sim(const SimVars& vars, const TokenInfo& token);

}  // namespace tarvenol::host
