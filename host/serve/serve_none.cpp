// Builds without the live cockpit's libraries (Win32): the serve command says so.
#include "host/scenario.h"
#include "host/serve/server.h"

namespace tarvenol::host::serve {

bool serve_supported() { return false; }

int serve_main(const ServeOptions&, std::FILE*, std::FILE* err) {
    std::fprintf(err, "cockpit-sim serve: this build has no live cockpit (it needs cpp-httplib, nlohmann-json and cairo)\n");
    return kScenarioMalformed;
}

}  // namespace tarvenol::host::serve
