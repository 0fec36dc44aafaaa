// Module variables by name: the shared state and every gauge's private state publish a table of
// (name, address, type, element count) so that the stand-in host and the tests can set and check
// any variable the way a pilot, a preset or the failure panel would.
#pragma once

#include <array>
#include <cstddef>
#include <iterator>
#include <type_traits>

#include "module/numbers.h"

namespace tarvenol {

enum class VarType : u8 { u8, i8, u16, i16, u32, i32, f64 };

// The values a variable's meaning allows: any value, a number (finite), a closed interval, or a
// list of values (switch positions, mode codes). Every element of an array shares its range.
struct Range {
    enum class Kind : u8 { any, finite, within, one_of };
    static constexpr int kMaxValues = 12;

    Kind kind = Kind::any;
    double lo = 0.0, hi = 0.0;
    u8 value_count = 0;
    i32 values[kMaxValues] = {};

    constexpr bool allows(double v) const {
        switch (kind) {
            case Kind::any: return true;
            case Kind::finite: return v - v == 0.0;  // false for NaN and both infinities
            case Kind::within: return v >= lo && v <= hi;
            case Kind::one_of:
                for (int i = 0; i < value_count; ++i)
                    if (v == values[i]) return true;
                return false;
        }
        return true;
    }
};

inline constexpr Range kAny{};
inline constexpr Range kFinite{Range::Kind::finite};
constexpr Range within(double lo, double hi) { return {Range::Kind::within, lo, hi}; }
template <class... V>
constexpr Range one_of(V... v) {
    static_assert(sizeof...(V) >= 1 && sizeof...(V) <= Range::kMaxValues, "a list of up to 12 values");
    return {Range::Kind::one_of, 0.0, 0.0, static_cast<u8>(sizeof...(V)), {static_cast<i32>(v)...}};
}
// An on/off flag or a two-position switch.
inline constexpr Range kFlag = within(0, 1);

struct VarRef {
    const char* name;
    void* address;
    VarType type;
    u16 count;  // 1 for a plain variable, the length of an array
    const char* meaning = nullptr;  // what it holds and its values (shared state), else null
    Range range = kAny;             // the values its meaning allows
};

struct VarTableView {
    const VarRef* begin_;
    std::size_t size_;
    const VarRef* begin() const { return begin_; }
    const VarRef* end() const { return begin_ + size_; }
    std::size_t size() const { return size_; }
};

template <class T>
struct VarTraits;
template <> struct VarTraits<u8> { static constexpr VarType type = VarType::u8; static constexpr u16 count = 1; };
template <> struct VarTraits<i8> { static constexpr VarType type = VarType::i8; static constexpr u16 count = 1; };
template <> struct VarTraits<u16> { static constexpr VarType type = VarType::u16; static constexpr u16 count = 1; };
template <> struct VarTraits<i16> { static constexpr VarType type = VarType::i16; static constexpr u16 count = 1; };
template <> struct VarTraits<u32> { static constexpr VarType type = VarType::u32; static constexpr u16 count = 1; };
template <> struct VarTraits<i32> { static constexpr VarType type = VarType::i32; static constexpr u16 count = 1; };
template <> struct VarTraits<f64> { static constexpr VarType type = VarType::f64; static constexpr u16 count = 1; };
template <class T, std::size_t N>
struct VarTraits<std::array<T, N>> {
    static constexpr VarType type = VarTraits<T>::type;
    static constexpr u16 count = N;
};

template <class T>
constexpr VarRef var_ref(const char* name, T& var, const char* meaning = nullptr, Range range = kAny) {
    return {name, &var, VarTraits<T>::type, VarTraits<T>::count, meaning, range};
}
// A private variable whose gauge's rules bound it.
template <class T>
constexpr VarRef var_ref(const char* name, T& var, Range range) {
    return var_ref(name, var, nullptr, range);
}

// Read or write element i of a variable as a double (integers convert with safe truncation).
double read_var(const VarRef& ref, std::size_t i = 0);
void write_var(const VarRef& ref, double value, std::size_t i = 0);

// A gauge's private state, declared once from a list X(type, name, value at load) or, where the
// gauge's rules bound the variable, X(type, name, value at load, range): a struct `State` with
// those defaults, its instance `st`, the gauge's name table `st_table` and `reset_private_state()`.
#define TARVENOL_STATE_MEMBER(type, name, init, ...) type name = init;
#define TARVENOL_STATE_REF(type, name, init, ...) ::tarvenol::var_ref(#name, st.name, nullptr __VA_OPT__(, __VA_ARGS__)),
#define TARVENOL_PRIVATE_STATE(LIST)                                  \
    struct State {                                                    \
        LIST(TARVENOL_STATE_MEMBER)                                   \
    };                                                                \
    State st;                                                         \
    const ::tarvenol::VarRef st_vars[] = {LIST(TARVENOL_STATE_REF)};  \
    const ::tarvenol::VarTableView st_table{st_vars, std::size(st_vars)}; \
    void reset_private_state() { st = State{}; }

}  // namespace tarvenol
