// The live cockpit's page, carried inside cockpit-sim (generated from web/ at build time).
#pragma once

#include <cstddef>

namespace tarvenol::host::serve {

struct WebFile {
    const char* path;  // as requested: "/index.html"
    const unsigned char* data;
    std::size_t size;
};
extern const WebFile kWebFiles[];
extern const std::size_t kWebFileCount;

}  // namespace tarvenol::host::serve
