#include "module/shared_state.h"

#include <cstring>

namespace tarvenol {

SharedState shared;

namespace {
#define TARVENOL_SHARED_REF(type, name, init, range, meaning) var_ref(#name, shared.name, meaning, range),
const VarRef shared_vars[] = {TARVENOL_SHARED_STATE(TARVENOL_SHARED_REF)};
#undef TARVENOL_SHARED_REF
}  // namespace

VarTableView shared_var_table() { return {shared_vars, std::size(shared_vars)}; }

namespace {
template <class T>
T* element(const VarRef& ref, std::size_t i) {
    return static_cast<T*>(ref.address) + i;
}
template <class T>
void store(const VarRef& ref, std::size_t i, double value) {
    if constexpr (std::is_floating_point_v<T>)
        *element<T>(ref, i) = value;
    else
        *element<T>(ref, i) = truncate<T>(value);
}
}  // namespace

double read_var(const VarRef& ref, std::size_t i) {
    if (i >= ref.count) return 0.0;
    switch (ref.type) {
        case VarType::u8: return *element<u8>(ref, i);
        case VarType::i8: return *element<i8>(ref, i);
        case VarType::u16: return *element<u16>(ref, i);
        case VarType::i16: return *element<i16>(ref, i);
        case VarType::u32: return *element<u32>(ref, i);
        case VarType::i32: return *element<i32>(ref, i);
        case VarType::f64: return *element<f64>(ref, i);
    }
    return 0.0;
}

void write_var(const VarRef& ref, double value, std::size_t i) {
    if (i >= ref.count) return;
    switch (ref.type) {
        case VarType::u8: store<u8>(ref, i, value); break;
        case VarType::i8: store<i8>(ref, i, value); break;
        case VarType::u16: store<u16>(ref, i, value); break;
        case VarType::i16: store<i16>(ref, i, value); break;
        case VarType::u32: store<u32>(ref, i, value); break;
        case VarType::i32: store<i32>(ref, i, value); break;
        case VarType::f64: store<f64>(ref, i, value); break;
    }
}

}  // namespace tarvenol
