// Compile-time checks of the vocabulary: no two entries share a token, an identifier or a name.
#include "module/sim_vocabulary.h"

namespace tarvenol {

namespace vocabulary_check {

// No two entries share a token, an identifier or a name.
template <class Entries, class Same>
constexpr bool all_distinct(const Entries& entries, Same same) {
    for (std::size_t i = 0; i < entries.size(); ++i)
        for (std::size_t j = i + 1; j < entries.size(); ++j)
            if (same(entries[i], entries[j])) return false;
    return true;
}
static_assert(all_distinct(sim::kVars, [](const auto& a, const auto& b) { return a.token == b.token; }),
              "a simulator token is listed twice");
static_assert(all_distinct(sim::kVars, [](const auto& a, const auto& b) {
                  return std::string_view(a.name) == b.name;
              }),
              "a simulator variable name is listed twice");
static_assert(all_distinct(key::kEvents, [](const auto& a, const auto& b) { return a.id == b.id; }),
              "a key event identifier is listed twice");

}  // namespace vocabulary_check

}  // namespace tarvenol
