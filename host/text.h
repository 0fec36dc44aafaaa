// Numbers as scenario files and the command line write them: decimal or 0x hexadecimal, integers
// or decimals, with an optional sign ("-12", "0x102C1", "-0x10", "24.5", "1e300"); also "nan",
// "inf" and "-inf" so that a scenario can feed the cockpit what a faulty simulator might.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvenol::host {

// False also for a number beyond the range of a double ("1e400"), which no variable can hold.
bool parse_number(std::string_view text, double& out);
// A whole number (decimal or hex) that fits a 64-bit integer.
bool parse_integer(std::string_view text, long long& out);

// A value printed so that it reads back the same: integers without a fraction, others with up to
// 17 significant digits.
std::string format_number(double value);
// A value as an instrument shows it, for people: whole numbers in full, others rounded to 6
// significant digits without trailing zeros ("0.9", "5748.77"). The CSV trace keeps format_number.
std::string format_readable(double value);

// A line as it may be echoed to a terminal: control characters and bytes that are not printable
// ASCII written as \t, \r, \xNN.
std::string escape_control(std::string_view text);

// The text with every word (run of characters between blanks) of more than 64 bytes cut to its
// first 40, followed by "... (N bytes)": a huge token is not echoed whole.
std::string shorten_long_words(std::string_view text);

// Of the candidates, the one nearest to a mistyped name (at most a few letters off), or empty.
std::string nearest_name(std::string_view word, const std::vector<std::string_view>& candidates);

// A key event id as the tables write it: 0x102C1.
std::string format_key_id(unsigned id);

}  // namespace tarvenol::host
