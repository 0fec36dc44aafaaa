// Running scenario text in a test and reading back what cockpit-sim would have printed.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "host/scenario.h"

namespace tarvenol::host::testing {

inline std::string read_all(std::FILE* f) {
    std::string s;
    std::rewind(f);
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) s.append(buffer, n);
    return s;
}

struct RunResult {
    int exit_code;
    std::string out;
    std::string err;
};

inline ScenarioOptions quiet() {
    ScenarioOptions o;
    o.quiet = true;
    return o;
}

inline RunResult run_script(std::string_view script, ScenarioOptions options = {}) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int code = run_scenario(script, "test.scn", options, out, err);
    RunResult r{code, read_all(out), read_all(err)};
    std::fclose(out);
    std::fclose(err);
    return r;
}

inline std::string read_file(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return {};
    std::string s = read_all(f);
    std::fclose(f);
    return s;
}

// A file name in the temporary directory of this test run.
inline std::string temp_path(const char* name) {
    const char* dir = std::getenv("TMPDIR");
#if defined(_WIN32)
    if (!dir) dir = std::getenv("TEMP");
#endif
    return std::string(dir ? dir : "/tmp") + "/" + name;
}

}  // namespace tarvenol::host::testing
