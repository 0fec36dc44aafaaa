// Resources and wave files on Windows: raw-data resources of the module whose handle the simulator
// gave, and wave files mapped read-only.
#include <windows.h>

#include "sound/platform.h"

namespace tarvenol::snd {

Bytes find_module_resource(std::uintptr_t module_handle, const char* name) {
    if (name == nullptr) return {};
    const auto module = reinterpret_cast<HMODULE>(module_handle);
    HRSRC found = FindResourceA(module, name, RT_RCDATA);
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) return {};
    const void* data = LockResource(loaded);
    if (data == nullptr) return {};
    return {static_cast<const uint8_t*>(data), SizeofResource(module, found)};
}

MappedFile map_file(const char* path) {
    if (path == nullptr) return {};
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    LARGE_INTEGER size{};
    const bool sized = GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
                       static_cast<unsigned long long>(size.QuadPart) <= SIZE_MAX;
    HANDLE mapping = sized ? CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr) : nullptr;
    CloseHandle(file);
    if (mapping == nullptr) return {};
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    CloseHandle(mapping);
    if (view == nullptr) return {};
    return {static_cast<const uint8_t*>(view), static_cast<std::size_t>(size.QuadPart)};
}

void unmap_file(MappedFile& file) {
    if (file.data != nullptr) UnmapViewOfFile(file.data);
    file = {};
}

}  // namespace tarvenol::snd
