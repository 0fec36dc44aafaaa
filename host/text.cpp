#include "host/text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace tarvenol::host {

namespace {

bool is_hex_prefix(std::string_view t) { return t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'); }

bool parse_hex(std::string_view digits, unsigned long long& out) {
    constexpr unsigned kHexRadix = 16;
    constexpr std::size_t kMaxHexDigits = 16;
    if (digits.empty() || digits.size() > kMaxHexDigits) return false;
    unsigned long long v = 0;
    for (char c : digits) {
        unsigned d;
        if (c >= '0' && c <= '9')
            d = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        v = v * kHexRadix + d;
    }
    out = v;
    return true;
}

}  // namespace

bool parse_number(std::string_view text, double& out) {
    if (text.empty()) return false;
    bool negative = false;
    std::string_view t = text;
    if (t[0] == '-' || t[0] == '+') {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    if (t.empty()) return false;
    if (is_hex_prefix(t)) {
        unsigned long long v = 0;
        if (!parse_hex(t.substr(2), v)) return false;
        out = negative ? -static_cast<double>(v) : static_cast<double>(v);
        return true;
    }
    if (t == "nan") {
        out = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    if (t == "inf") {
        out = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        return true;
    }
    // Digits, at most one point, an optional exponent: nothing else (strtod alone would also take
    // hex floats, "infinity" and leading blanks).
    bool digits = false;
    std::size_t i = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, digits = true;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, digits = true;
    }
    if (!digits) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '-' || t[i] == '+')) ++i;
        bool exponent = false;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, exponent = true;
        if (!exponent) return false;
    }
    if (i != t.size()) return false;
    const std::string s(text);
    errno = 0;
    out = std::strtod(s.c_str(), nullptr);
    // Too small a number reads as 0 or a denormal, which is what it means; too large has no value.
    return !std::isinf(out);
}

bool parse_integer(std::string_view text, long long& out) {
    double v = 0;
    if (!parse_number(text, v) || !std::isfinite(v) || v != std::trunc(v)) return false;
    constexpr double kLimit = 9.0e18;
    if (v > kLimit || v < -kLimit) return false;
    out = static_cast<long long>(v);
    return true;
}

std::string format_number(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char buffer[64];
    constexpr double kExactInteger = 9.0e15;
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < kExactInteger) {
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
        if (value == 0.0 && std::signbit(value)) return "-0";
        return buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    // Shortest form that reads back the same.
    for (int precision = 6; precision < 17; ++precision) {
        char shorter[64];
        std::snprintf(shorter, sizeof shorter, "%.*g", precision, value);
        if (std::strtod(shorter, nullptr) == value) return shorter;
    }
    return buffer;
}

std::string format_readable(double value) {
    constexpr double kWholeDigits = 1.0e6;  // from here on, whole units are what a counter shows
    constexpr double kExactInteger = 9.0e15;
    if (!std::isfinite(value) || std::fabs(value) >= kExactInteger) return format_number(value);
    char buffer[64];
    if (value == std::trunc(value) || std::fabs(value) >= kWholeDigits) {
        std::snprintf(buffer, sizeof buffer, "%.0f", value);
        if (std::strcmp(buffer, "-0") == 0) return "0";
        return buffer;
    }
    constexpr int kSignificant = 6;
    std::snprintf(buffer, sizeof buffer, "%.*g", kSignificant, value);
    if (std::strcmp(buffer, "-0") == 0) return "0";
    return buffer;
}

std::string escape_control(std::string_view text) {
    std::string s;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        constexpr unsigned char kFirstPrintable = 0x20;
        constexpr unsigned char kDelete = 0x7F;
        if (c == '\t') {
            s += "\\t";
        } else if (c == '\r') {
            s += "\\r";
        } else if (c < kFirstPrintable || c == kDelete) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
            s += buffer;
        } else {
            s += ch;  // UTF-8 text (names in comments) passes as it is
        }
    }
    return s;
}

namespace {
std::size_t edit_distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = up;
        }
    }
    return row[b.size()];
}
}  // namespace

std::string nearest_name(std::string_view word, const std::vector<std::string_view>& candidates) {
    // A suggestion is only worth giving when the name is nearly right.
    constexpr std::size_t kMinAllowed = 2;
    constexpr std::size_t kLettersPerEdit = 3;
    const std::size_t allowed = std::max(kMinAllowed, word.size() / kLettersPerEdit);
    std::string_view best;
    std::size_t best_distance = allowed + 1;
    for (std::string_view c : candidates) {
        // Names apart in length by more than the edits allowed are never near: a long mistyped
        // word costs nothing however long it is.
        const std::size_t length_apart = word.size() > c.size() ? word.size() - c.size() : c.size() - word.size();
        if (length_apart >= best_distance) continue;
        const std::size_t d = edit_distance(word, c);
        if (d < best_distance) {
            best_distance = d;
            best = c;
        }
    }
    return std::string(best);
}

std::string format_key_id(unsigned id) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%X", id);
    return buffer;
}

}  // namespace tarvenol::host
