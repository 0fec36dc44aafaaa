// Where wave images come from: raw-data resources carried in a module, and wave files mapped
// read-only. Each operating system supplies these in its own folder (win32/, posix/).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvenol::snd {

struct Bytes {
    const uint8_t* data = nullptr;
    std::size_t size = 0;
};

// A raw-data resource of the module whose handle is given, found by name as Windows finds one
// (names compare without regard to case). Windows: FindResourceA (type RT_RCDATA), LoadResource,
// LockResource, SizeofResource on the module handle. Elsewhere the sound files are compiled into the
// program as one table, which is the only module there is: the handle is not consulted.
// Returns no data when there is no such resource or it cannot be loaded.
Bytes find_resource(std::uintptr_t module, const char* name);

// A named raw-data resource, as the tests and the compiled-in table list them.
struct ResourceEntry {
    const char* name;
    const uint8_t* data;
    std::size_t size;
};

// Looks a name up in a table of resources, without regard to case.
Bytes find_in_table(const ResourceEntry* table, std::size_t count, const char* name);

// The operating system's own lookup behind find_resource (win32/ or posix/).
Bytes find_module_resource(std::uintptr_t module, const char* name);

// Replaces the module's resources by the given table until called again with a null table
// (for tests: a module carrying damaged or missing sounds).
void use_resource_table(const ResourceEntry* table, std::size_t count);

// A whole file mapped read-only; no data when it cannot be opened, is empty or cannot be mapped.
struct MappedFile {
    const uint8_t* data = nullptr;
    std::size_t size = 0;
};
MappedFile map_file(const char* path);
void unmap_file(MappedFile& file);  // unmaps a mapped file and empties the record

}  // namespace tarvenol::snd
