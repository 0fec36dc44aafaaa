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

struct VarRef {
    const char* name;
    void* address;
    VarType type;
    u16 count;  // 1 for a plain variable, the length of an array
    const char* meaning = nullptr;  // what it holds and its values (shared state), else null
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
constexpr VarRef var_ref(const char* name, T& var, const char* meaning = nullptr) {
    return {name, &var, VarTraits<T>::type, VarTraits<T>::count, meaning};
}

// Read or write element i of a variable as a double (integers convert with safe truncation).
double read_var(const VarRef& ref, std::size_t i = 0);
void write_var(const VarRef& ref, double value, std::size_t i = 0);

// A gauge's private state, declared once from a list X(type, name, value at load): a struct
// `State` with those defaults, its instance `st`, the gauge's name table `st_table` and
// `reset_private_state()`.
#define TARVENOL_STATE_MEMBER(type, name, init) type name = init;
#define TARVENOL_STATE_REF(type, name, init) ::tarvenol::var_ref(#name, st.name),
#define TARVENOL_PRIVATE_STATE(LIST)                                  \
    struct State {                                                    \
        LIST(TARVENOL_STATE_MEMBER)                                   \
    };                                                                \
    State st;                                                         \
    const ::tarvenol::VarRef st_vars[] = {LIST(TARVENOL_STATE_REF)};  \
    const ::tarvenol::VarTableView st_table{st_vars, std::size(st_vars)}; \
    void reset_private_state() { st = State{}; }

}  // namespace tarvenol
