// Scenario scripts: one command per line, run against a freshly loaded module in a blank
// simulator. A script is read whole and checked before anything runs, so a malformed line is
// reported (exit 2) even after a failing expect; otherwise the commands run in order and the first
// expect that does not hold stops the run (exit 1).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tarvenol::host {

constexpr int kScenarioPassed = 0;
constexpr int kScenarioExpectFailed = 1;
constexpr int kScenarioMalformed = 2;

struct ScenarioOptions {
    bool quiet = false;       // no timeline, no closing line (print commands still print)
    std::string trace_path;   // the timeline as CSV
    std::string audio_path;   // the cockpit audio as a WAV file
    std::string pictures_dir; // where picture commands write, with the viewer page (none: they do nothing)
};

// Runs a script; file_name is the name messages give (file:line).
int run_scenario(std::string_view script, const std::string& file_name, const ScenarioOptions& options,
                 std::FILE* out, std::FILE* err);
int run_scenario_file(const std::string& path, const ScenarioOptions& options, std::FILE* out, std::FILE* err);

// The scenario cockpit-sim runs when given no command.
extern const char* const kDefaultScenario;
extern const char* const kDefaultScenarioName;

}  // namespace tarvenol::host
