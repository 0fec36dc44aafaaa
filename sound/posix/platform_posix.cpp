// Resources, wave files and the sound device where there is no Windows: the resources compiled into
// the program, files mapped with mmap, and the software mixer.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "sound/device.h"
#include "sound/mixer.h"
#include "sound/platform.h"
#include "sound/posix/embedded_resources.h"

namespace tarvenol::snd {

Bytes find_module_resource(std::uintptr_t, const char* name) {
    return find_in_table(kEmbeddedResources, kEmbeddedResourceCount, name);
}

MappedFile map_file(const char* path) {
    if (path == nullptr) return {};
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat st {};
    void* view = MAP_FAILED;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        view = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (view == MAP_FAILED) return {};
    return {static_cast<const uint8_t*>(view), static_cast<std::size_t>(st.st_size)};
}

void unmap_file(MappedFile& file) {
    if (file.data != nullptr) ::munmap(const_cast<uint8_t*>(file.data), file.size);
    file = {};
}

Device& platform_device() { return mixer::device(); }

}  // namespace tarvenol::snd
