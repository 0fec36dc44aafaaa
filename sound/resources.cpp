// The module's raw-data resources: the operating system's lookup, or a table put in its place.
#include <cctype>

#include "sound/platform.h"

namespace tarvenol::snd {

namespace {

const ResourceEntry* replacement_table = nullptr;
std::size_t replacement_count = 0;

bool same_name(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b))) return false;
    return *a == *b;
}

}  // namespace

Bytes find_in_table(const ResourceEntry* table, std::size_t count, const char* name) {
    if (name == nullptr) return {};
    for (std::size_t i = 0; i < count; ++i)
        if (same_name(table[i].name, name)) return {table[i].data, table[i].size};
    return {};
}

Bytes find_resource(std::uintptr_t module, const char* name) {
    if (replacement_table != nullptr) return find_in_table(replacement_table, replacement_count, name);
    return find_module_resource(module, name);
}

void use_resource_table(const ResourceEntry* table, std::size_t count) {
    replacement_table = table;
    replacement_count = table != nullptr ? count : 0;
}

}  // namespace tarvenol::snd
