// Compile-time checks of the vocabulary: no two entries share a token, an identifier or a name.
#include "module/sim_vocabulary.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tarvenol {

namespace vocabulary_check {

// True when the values, sorted, hold no two equal neighbours (n log n: the lists are long).
template <class T, std::size_t N>
constexpr bool all_distinct(std::array<T, N> values) {
    std::sort(values.begin(), values.end());
    return std::adjacent_find(values.begin(), values.end()) == values.end();
}
template <class Entry, std::size_t N, class Field>
constexpr auto field_of(const std::array<Entry, N>& entries, Field field) {
    std::array<decltype(field(entries[0])), N> values{};
    for (std::size_t i = 0; i < N; ++i) values[i] = field(entries[i]);
    return values;
}

static_assert(all_distinct(field_of(sim::kVars, [](const sim::VarInfo& v) { return v.token; })),
              "a simulator token is listed twice");
static_assert(all_distinct(field_of(sim::kVars, [](const sim::VarInfo& v) { return std::string_view(v.name); })),
              "a simulator variable name is listed twice");
static_assert(all_distinct(field_of(key::kEvents, [](const key::KeyInfo& k) { return k.id; })),
              "a key event identifier is listed twice");
static_assert(all_distinct(field_of(key::kEvents, [](const key::KeyInfo& k) { return std::string_view(k.name); })),
              "a key event name is listed twice");

}  // namespace vocabulary_check

}  // namespace tarvenol
