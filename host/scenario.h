// Scenario scripts: one command per line, run against a freshly loaded module in a blank
// simulator. A script is read whole and checked before anything runs: every malformed line is
// reported (exit 2) and nothing runs; otherwise the commands run in order and the first expect that
// does not hold stops the run (exit 1).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvenol::host {

// Exit status of a run (and of cockpit-sim).
constexpr int kScenarioPassed = 0;
constexpr int kScenarioExpectFailed = 1;
constexpr int kScenarioMalformed = 2;  // a malformed script, a refused input or a usage error
constexpr int kScenarioIoError = 3;    // a file that could not be read or written
constexpr int kScenarioInterrupted = 130;  // stopped by Ctrl-C (SIGINT), at a frame boundary

// Asks a running scenario to stop after the frame it is in (safe to call from a signal handler):
// every output is then closed properly, "interrupted at frame N" is said and the run returns
// kScenarioInterrupted.
void request_interrupt();

// The most frames one tick command runs (about 64 days of simulated time; a run of that length
// takes about an hour and a half).
constexpr long long kMaxTickFrames = 100'000'000;
// The largest scenario file read (a script is a few kilobytes; this refuses devices and binaries).
constexpr std::uint64_t kMaxScenarioBytes = 16u << 20;

struct ScenarioOptions {
    bool quiet = false;             // no timeline, no closing line (print commands still print)
    bool full_first_frame = false;  // the timeline lists the first frame whole instead of counting it
    bool progress = false;          // frames done, simulated time and rate on the error stream
    bool invariants = false;        // every invariant of the cockpit judged after every frame (host/invariants.h)
    std::string trace_path;         // the timeline as CSV
    std::string audio_path;         // the cockpit audio as a WAV file
    std::vector<std::string> watch; // values the timeline and trace follow (see resolve_watch)
    std::string pictures_dir;       // where picture commands write, with the viewer page (none: they do nothing)
    bool viewer_note = false;       // say where the viewer page is even when quiet
};

// Runs a script; file_name is the name messages give (file:line).
int run_scenario(std::string_view script, const std::string& file_name, const ScenarioOptions& options,
                 std::FILE* out, std::FILE* err);
int run_scenario_file(const std::string& path, const ScenarioOptions& options, std::FILE* out, std::FILE* err);

// Checks a name given to --watch: a module variable (NAME, NAME[i]), a simulator variable (its
// name, or sim:TOKEN) or an element value ("GAUGE NAME:ELEMENT"). Empty when it is one; otherwise
// what is wrong, with the nearest name.
std::string check_watch_name(const std::string& name);

// The nearest gauge name to a mistyped one, as " (did you mean \"...\"?)", or empty.
std::string gauge_suggestion(std::string_view name);

class Simulator;

// A scenario run a line at a time, as the live cockpit (cockpit-sim serve) drives it: every line
// goes through the same parser and runs as it would in a file, frames come in between as time
// passes, and what was done is kept as a scenario that `cockpit-sim run` replays to the same
// timeline. The timeline goes to out (text) and csv (as --trace writes it), print output to out,
// messages (malformed lines, expects that do not hold) to err. Not thread-safe: one caller at a time.
class ScenarioSession {
public:
    // name is what messages give as the file ("console").
    ScenarioSession(std::string name, std::FILE* out, std::FILE* err, std::FILE* csv);
    ~ScenarioSession();
    ScenarioSession(const ScenarioSession&) = delete;
    ScenarioSession& operator=(const ScenarioSession&) = delete;

    // A whole script, checked first (every malformed line reported, nothing runs: kScenarioMalformed),
    // then run to its end or to its first expect that does not hold (kScenarioExpectFailed), its
    // tick commands in full.
    int run_script(std::string_view script, const std::string& file_name);
    // One line, as a scenario line: kScenarioPassed (also for a blank line or a comment),
    // kScenarioMalformed or kScenarioExpectFailed, with the same messages as a run gives. A tick
    // command's frames are left to advance(); a line given while some remain runs them first.
    int run_line(std::string_view line);
    // Frames of a tick command still to run, and of the last tick command in all.
    long long pending_frames() const;
    long long tick_frames() const;
    // Ends the running tick command at the frames it has run (recorded so); the frames it had left.
    long long cut_tick();
    // Runs frames as a tick command of their own (what was left of one cut short by another line).
    void resume_tick(long long frames);
    // Where picture commands write (empty: they do nothing).
    void set_pictures_dir(const std::string& dir);
    // Runs up to max_frames frames: those of the last tick command first; with none left, frames
    // as time passes, which continue the frames before them when no command came between (one
    // tick command in the scenario kept). False when the output could not be written.
    bool advance(long long max_frames);
    // What was done, as a scenario file. An expect that did not hold is kept as a comment.
    std::string recorded() const;

    // A value by a name as --watch takes it; false with what is wrong in error.
    bool read(const std::string& name, double& value, std::string& error);

    Simulator& simulator();
    // The clicks that no frame followed go into the timeline (at the end of a session).
    void finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The scenario cockpit-sim runs when given no command (scenarios/default.scn, built in).
extern const char* const kDefaultScenario;
inline constexpr const char* kDefaultScenarioName = "scenarios/default.scn";

}  // namespace tarvenol::host
