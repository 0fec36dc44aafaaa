// Numbers as scenario files and the command line write them: decimal or 0x hexadecimal, integers
// or decimals, with an optional sign ("-12", "0x102C1", "-0x10", "24.5", "1e300"); also "nan",
// "inf" and "-inf" so that a scenario can feed the cockpit what a faulty simulator might.
#pragma once

#include <string>
#include <string_view>

namespace tarvenol::host {

bool parse_number(std::string_view text, double& out);
// A whole number (decimal or hex) that fits a 64-bit integer.
bool parse_integer(std::string_view text, long long& out);

// A value printed so that it reads back the same: integers without a fraction, others with up to
// 17 significant digits.
std::string format_number(double value);
// A key event id as the tables write it: 0x102C1.
std::string format_key_id(unsigned id);

}  // namespace tarvenol::host
