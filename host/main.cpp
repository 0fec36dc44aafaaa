// cockpit-sim: the stand-in simulator on the command line. Runs scenario scripts against the
// module, and lists the names scenarios use (gauges, click areas, elements, simulator variables,
// key events, module variables, sounds).
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <csignal>
#include <string_view>
#include <vector>

#include "host/aircraft_model.h"
#include "host/campaign.h"
#include "host/flight_model.h"
#include "host/pictures.h"
#include "host/scenario.h"
#include "host/serve/server.h"
#include "host/sim_tokens.h"
#include "host/text.h"
#include "host/version.h"
#include "module/module_state.h"
#include "module/shared_state.h"
#include "sound/sound.h"
#include "sound/wave.h"

namespace {

constexpr const char* kDefaultPicturesDir = "cockpit-pictures";

using namespace tarvenol;
using namespace tarvenol::host;

// What each of the cockpit's sounds is, in load order.
const char* const kSoundMeanings[snd::kSoundCount] = {
    "switch click, once on every switch position change",
    "high cabin chime, once",
    "low cabin chime, once",
    "inner marker tone, once",
    "middle marker tone, once",
    "outer marker tone, once",
    "ground proximity callout \"don't sink\", once",
    "ground proximity callout \"glideslope\", once",
    "ground proximity callout \"whoop whoop pull up\", once",
    "ground proximity callout \"sink rate\", once",
    "ground proximity callout \"terrain\", once",
    "ground proximity callout \"too low flaps\", once",
    "ground proximity callout \"too low gear\", once",
    "ground proximity callout \"too low terrain\", once",
    "autoland warning clicks, once",
    "overspeed clacker, looped while the overspeed lasts",
    "single chime, once",
    "continuous chime, looped",
    "continuous horn, looped",
    "intermittent horn, looped",
    "altitude alert chime, once",
    "repeating altitude alert chime, looped",
    "bell, looped",
    "yaw damper angle protection alert, once",
    "brakes sound, looped",
};

// The run options, shared by the default scenario and `run`.
struct RunArgs {
    std::string file;
    ScenarioOptions options;
};

// A file name given to an option, not the next option taken for one ("--trace --quiet"), nor nothing.
std::string not_an_option(const std::string& value) {
    if (value.empty()) return "a file name expected, not an empty one";
    if (value[0] == '-') return "a file name expected, not " + value;
    return {};
}

void add_run_options(CLI::App& app, RunArgs& a) {
    app.add_option("--trace", a.options.trace_path,
                   "also write the timeline as CSV (frame,time_s,kind,subject,detail,before,after), every key event "
                   "and change in full precision")
        ->type_name("FILE.csv")
        ->check(not_an_option);
    app.add_option("--audio", a.options.audio_path, "write what the cockpit played as a WAV file (1/18 s per frame)")
        ->type_name("FILE.wav")
        ->check(not_an_option);
    app.add_option("--pictures", a.options.pictures_dir,
                   "each picture command writes DIR/NAME/ (a PNG per gauge and per panel window); DIR/index.html "
                   "shows them with the timeline")
        ->type_name("DIR")
        ->check(not_an_option);
    app.add_flag("-q,--quiet", a.options.quiet, "print only print commands and failures");
    app.add_flag("--invariants", a.options.invariants,
                 "fail the run after the first frame that leaves a variable outside its range, an element showing "
                 "what its drawing cannot, a warning sound looping without its request or an unknown key event");
    app.add_flag("--initial", a.options.full_first_frame,
                 "list the first frame whole (every element set, every first key event) instead of counting it");
    app.add_option("-w,--watch", a.options.watch,
                   "follow values in the timeline and the trace: module variables, simulator variables by name or "
                   "sim:TOKEN, element values as \"GAUGE NAME:ELEMENT\"; comma-separated or repeated")
        ->delimiter(',')
        ->type_name("NAME,...");
}

// Files the run writes must not be the script or each other.
std::string clashing_paths(const RunArgs& a) {
    namespace fs = std::filesystem;
    const auto same = [](const std::string& x, const std::string& y) {
        if (x.empty() || y.empty()) return false;
        std::error_code ec;
        if (fs::equivalent(x, y, ec)) return true;
        return fs::weakly_canonical(fs::absolute(x, ec), ec) == fs::weakly_canonical(fs::absolute(y, ec), ec);
    };
    const std::string& trace = a.options.trace_path;
    const std::string& audio = a.options.audio_path;
    if (same(trace, a.file)) return "--trace " + trace + " would overwrite the scenario";
    if (same(audio, a.file)) return "--audio " + audio + " would overwrite the scenario";
    if (same(trace, audio)) return "--trace and --audio name the same file, " + trace;
    return {};
}

// Which script a run runs: a file, the default scenario or the scripted flight.
enum class Script { file, default_scenario, flight };

// Ctrl-C during a run: the run stops after the frame it is in and closes its files; a second
// Ctrl-C ends the program at once.
extern "C" void on_interrupt(int) {
    request_interrupt();
    std::signal(SIGINT, SIG_DFL);
}

int run_with(const RunArgs& a, Script script) {
    std::signal(SIGINT, &on_interrupt);
    const bool default_scenario = script == Script::default_scenario;
    if (const std::string clash = clashing_paths(a); !clash.empty()) {
        std::fprintf(stderr, "cockpit-sim: %s\n", clash.c_str());
        return kScenarioMalformed;
    }
    for (const std::string& w : a.options.watch) {
        if (const std::string wrong = check_watch_name(w); !wrong.empty()) {
            std::fprintf(stderr, "cockpit-sim: --watch %s: %s\n", escape_control(w).c_str(), wrong.c_str());
            return kScenarioMalformed;
        }
    }
    ScenarioOptions options = a.options;
    // The scripted flight prints its own report instead of the timeline, and still says where its
    // pictures' viewer is.
    options.viewer_note = script == Script::flight;
    // The default scenario's key moments, as pictures and a viewer page.
    if (default_scenario && options.pictures_dir.empty() && pictures_supported()) options.pictures_dir = kDefaultPicturesDir;
    // Progress on a terminal only, and not over a timeline printed to the same terminal.
    options.progress = isatty(fileno(stderr)) && (options.quiet || !isatty(fileno(stdout)));
    if (default_scenario) return run_scenario(kDefaultScenario, kDefaultScenarioName, options, stdout, stderr);
    if (script == Script::flight) return run_scenario(kFlyScenario, "scenarios/fly_full.scn", options, stdout, stderr);
    return run_scenario_file(a.file, options, stdout, stderr);
}

const GaugeInfo* gauge_argument(const std::string& name) {
    const GaugeInfo* g = find_gauge(name);
    if (!g)
        std::fprintf(stderr, "cockpit-sim: no gauge named \"%s\"%s (cockpit-sim gauges lists them)\n",
                     escape_control(name).c_str(), gauge_suggestion(name).c_str());
    return g;
}

int list_gauges() {
    int i = 0;
    for (const GaugeInfo* g : gauges()) std::printf("%3d  %-42s %4u mm\n", i++, g->name, g->header->size_x_mm);
    return 0;
}

int list_areas(const std::string& name) {
    const GaugeInfo* g = gauge_argument(name);
    if (!g) return kScenarioMalformed;
    for (std::size_t i = 0; i < g->area_count; ++i) std::printf("%s\n", g->areas[i].name);
    return 0;
}

const char* element_kind(int type) {
    switch (type) {
        case abi::ELEMENT_TYPE_STATIC_IMAGE: return "static image";
        case abi::ELEMENT_TYPE_NEEDLE: return "needle";
        case abi::ELEMENT_TYPE_STRING: return "text";
        case abi::ELEMENT_TYPE_SLIDER: return "slider";
        case abi::ELEMENT_TYPE_ICON: return "icon";
        case abi::ELEMENT_TYPE_MOVING_IMAGE: return "moving image";
        default: return "other";
    }
}

int list_elements(const std::string& name) {
    const GaugeInfo* g = gauge_argument(name);
    if (!g) return kScenarioMalformed;
    for (std::size_t i = 0; i < g->element_count; ++i) {
        const ElementLink& e = *g->elements[i];
        std::printf("%-32s %-13s %s at load\n", e.name, element_kind(e.header->element_type),
                    (e.initial_flags & abi::IMAGE_HIDDEN) ? "hidden" : "shown");
    }
    return 0;
}

int list_tokens() {
    for (const TokenInfo& t : token_table())
        std::printf("%4d  %-28s %-7s %s\n", t.token, t.name, t.type == SimType::f64 ? "FLOAT64" : "INT32", t.unit);
    return 0;
}

int list_keys() {
    for (const KeyEventInfo& k : key_event_table()) {
        const char* answer = !k.reaction ? "" : k.answerer == Answerer::aircraft ? "aircraft" : "panel";
        std::printf("0x%05X  %-32s %s\n", k.id, k.name, answer);
    }
    return 0;
}

const char* var_type(VarType t) {
    switch (t) {
        case VarType::u8: return "u8";
        case VarType::i8: return "i8";
        case VarType::u16: return "u16";
        case VarType::i16: return "i16";
        case VarType::u32: return "u32";
        case VarType::i32: return "i32";
        case VarType::f64: return "f64";
    }
    return "?";
}

int list_vars() {
    std::printf("%-36s %-9s %s\n", "NAME", "TYPE", "MEANING AND VALUES (private variables: their gauge)");
    auto show = [](const VarRef& v, const char* text) {
        std::string type = var_type(v.type);
        // Appended piece by piece: a literal + std::string temporary trips GCC 12's -Wrestrict (a
        // false alarm of its string insert, for sizes that cannot occur).
        if (v.count > 1) type.append("[").append(std::to_string(v.count)).append("]");
        std::printf("%-36s %-9s %s\n", v.name, type.c_str(), text);
    };
    for (const VarRef& v : shared_var_table()) show(v, v.meaning ? v.meaning : "");
    for (const GaugeInfo* g : gauges())
        for (const VarRef& v : g->vars) show(v, (std::string("private to ") + g->name).c_str());
    return 0;
}

int list_sounds() {
    constexpr double kHundredthsPerDb = 100.0;
    for (int i = 0; i < snd::kSoundCount; ++i)
        std::printf("%2d  %-14s %6.1f dB at load  %s\n", i + 1, snd::kSoundNames[i], snd::kInitialVolumes[i] / kHundredthsPerDb,
                    kSoundMeanings[i]);
    return 0;
}

// Output that did not reach its file fails the command.
int finish(int code) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "cockpit-sim: cannot write the output: %s\n", std::strerror(errno ? errno : EIO));
        return kScenarioIoError;
    }
    return code;
}

std::string version_text() {
    return std::string("cockpit-sim ") + kVersion + " (commit " + kCommit + ")";
}

}  // namespace

// The autoland campaign: the approaches flown one after the other, the table and the picture.
int run_campaign(int count, std::uint64_t seed, const std::string& png, bool list) {
    std::vector<ApproachResult> results;
    results.reserve(static_cast<std::size_t>(count));
    for (const Approach& a : campaign_approaches(count, seed)) {
        results.push_back(fly_approach(a));
        if (list) {
            std::printf("%4zu  %5.0f m out %+4.0f m %+3.0f deg %4.0f ft %3.0f kt  wind %03.0f/%02.0f gust %2.0f  %3.0f t%s  %s\n",
                        results.size(), a.before_m, a.right_m, a.heading_offset_deg, a.height_ft, a.ias_kt,
                        std::fmod(a.wind_from_offset_deg + 360.0, 360.0), a.wind_kt, a.gust_kt, results.back().landing_mass_kg / 1000.0,
                        a.engine_out ? " engine out" : "", results.back().verdict.c_str());
            std::fflush(stdout);
        }
    }
    if (list) std::printf("\n");
    std::printf("Seed %llu\n", static_cast<unsigned long long>(seed));
    print_campaign(results, stdout);
    std::string error;
    if (!write_dispersion_png(results, png, error)) {
        std::fprintf(stderr, "cockpit-sim: %s\n", error.c_str());
        return kScenarioIoError;
    }
    std::printf("Touchdown dispersion: %s\n", png.c_str());
    return 0;
}

int main(int argc, char** argv) {
    CLI::App app{"cockpit-sim: the stand-in simulator for the tarvenol cockpit module.\n"
                 "With no command it runs the default scenario (scenarios/default.scn, built in) and shows its "
                 "timeline, and writes the pictures of its key moments with their viewer to cockpit-pictures/; the run "
                 "options below apply to it."};
    // Paths such as /work/a.scn are paths on every system, never Windows-style /options.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", version_text());
    app.footer(
        "Exit status: 0 passed, 1 an expect failed, 2 a malformed script or wrong usage, 3 a file could not be "
        "read or written.\n'cockpit-sim help COMMAND' or 'cockpit-sim COMMAND --help' tells more about a command.");
    app.require_subcommand(0, 1);

    RunArgs default_run;
    add_run_options(app, default_run);

    RunArgs run_args;
    CLI::App* run = app.add_subcommand("run", "run a scenario script and print what changed, frame by frame");
    run->add_option("FILE", run_args.file, "the scenario script")->required()->type_name("");
    add_run_options(*run, run_args);
    run->footer(
        "Runs the script against a freshly loaded module in a blank simulator. Exit status 0 when every expect\n"
        "holds, 1 at the first that fails (file:line, expected and actual, repeated as the last line), 2 on a\n"
        "malformed script (every malformed line is reported, nothing runs) or a refused input, 3 when a file\n"
        "cannot be read or written.");

    RunArgs fly_args;
    bool fly_timeline = false;
    CLI::App* fly = app.add_subcommand(
        "fly", "fly the aircraft with the flight model: cold cockpit to engine start, take-off, autopilot climb, NAV, "
               "ILS and an automatic landing, then the timeline by phase and the touchdown report");
    add_run_options(*fly, fly_args);
    fly->add_flag("--timeline", fly_timeline, "print the frame-by-frame timeline of the cockpit as well");
    fly->footer(
        "Runs the built-in flight script (scenarios/fly_full.scn) through the cockpit's own clicks and laws with the\n"
        "flight model on. Exit status 0 when the flight ends in a landing within limits, 1 when one of the script's\n"
        "checks fails.");

    int campaign_count = 500;
    std::uint64_t campaign_seed = 1;
    std::string campaign_png = "autoland-dispersion.png";
    bool campaign_list = false;
    CLI::App* campaign = app.add_subcommand(
        "campaign", "fly many automatic approaches in varied wind, gusts, intercepts, weights and with an engine out; "
                    "judge each and tabulate the touchdowns against the automatic-landing criteria");
    campaign->add_option("--approaches", campaign_count, "how many approaches (default 500)")->check(CLI::Range(1, 100000));
    campaign->add_option("--seed", campaign_seed, "the seed the approaches are drawn from (default 1)");
    campaign->add_option("--png", campaign_png, "where the touchdown dispersion picture goes (default autoland-dispersion.png)")
        ->type_name("FILE.png")
        ->check(not_an_option);
    campaign->add_flag("--list", campaign_list, "a line per approach: its start, wind, weight and verdict");
    campaign->footer(
        "Each approach starts level below the glide path, 8.5 to 11.5 km out, up to 400 m off the centreline and\n"
        "turned in by up to 30 degrees, at 135-160 kt, in a wind of 10 kt tail to 25 kt head and up to 15 kt across\n"
        "with gusts up to 10 kt, with 5-35 t of fuel (about 100-130 t), one in ten with engine 1 failed; autopilot 1,\n"
        "SPEED at 140 kt and LAND fly it; the stand-in crew brakes and steers on the roll-out. The same count and\n"
        "seed give the same figures. Exit status 0 when the table and the picture were written, 3 when the picture\n"
        "could not be.");

    std::string gauge_name;
    CLI::App* gauges_cmd = app.add_subcommand("gauges", "list the gauges in Linkage order with their widths in millimetres");
    CLI::App* areas = app.add_subcommand("areas", "list the click areas of a gauge, as click commands name them");
    areas->add_option("GAUGE", gauge_name, "the gauge's name, e.g. \"tarvenol elec_batt_t418\"")->required();
    CLI::App* elements = app.add_subcommand("elements", "list the elements of a gauge, as expect element names them");
    elements->add_option("GAUGE", gauge_name, "the gauge's name")->required();
    CLI::App* tokens = app.add_subcommand("tokens", "list the simulator variables: token, name, type read, unit");
    CLI::App* keys = app.add_subcommand(
        "keys", "list the key events the cockpit sends; those answered are marked (aircraft: while the model is on; "
                "panel: always)");
    CLI::App* vars = app.add_subcommand("vars", "list the module variables scenarios can set, expect and print, with their meaning and values");
    CLI::App* sounds = app.add_subcommand("sounds", "list the cockpit's sounds: name, volume at load and use");
    CLI::App* panel_config =
        app.add_subcommand("panel-config", "print the sample panel configuration: every gauge on the main panel or its window");
    std::string wave_file;
    CLI::App* wave = app.add_subcommand("wave", "check a replacement sound: would the cockpit load the wave file, and what it holds");
    wave->add_option("FILE.wav", wave_file, "the wave file")->required();
    serve::ServeOptions serve_options;
    CLI::App* serve_cmd = app.add_subcommand(
        "serve", "run the cockpit in real time behind a web page on this machine: panels, clicks, console, timeline, sounds");
    serve_cmd->add_option("SCENARIO", serve_options.scenario, "a scenario script run first (its frames at full speed)")
        ->type_name("FILE");
    serve_cmd->add_option("--port", serve_options.port, "the port to listen on (0: any free one)")
        ->check(CLI::Range(0, 65535));
    serve_cmd->add_option("--bind", serve_options.bind,
                          "the address to listen on (default 127.0.0.1: this machine only; any other lets every "
                          "machine that reaches it drive the cockpit)");
    serve_cmd->add_option("--allow-host", serve_options.allow_hosts,
                          "another name the page may be opened by (checked against the Host and Origin of every request)")
        ->type_name("NAME");
    serve_cmd->add_option("--trace", serve_options.trace_path, "write the timeline as CSV, as run --trace does")
        ->type_name("FILE.csv")
        ->check(not_an_option);
    serve_cmd->add_flag("--paused", serve_options.paused, "start paused");
    serve_cmd->add_option("--pictures", serve_options.pictures_dir, "where the console's picture commands write")
        ->type_name("DIR")
        ->check(not_an_option);
    serve_cmd->footer(
        "Prints the address to open. The page shows the main panel and every panel window the cockpit opens, takes\n"
        "clicks on the switches and scenario commands in its console, streams the timeline, follows chosen values,\n"
        "plays the sounds and saves what was done as a scenario that cockpit-sim run replays. With the flight model\n"
        "on (flight on) the simulator's usual keys fly it by hand (Keys on the page lists them). Ctrl-C stops it.");
    std::string help_topic;
    CLI::App* help = app.add_subcommand("help", "tell more about a command");
    help->add_option("COMMAND", help_topic, "the command");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        // A mistyped command: the nearest one, as the scenario language does for its words.
        if (code != 0 && argc > 1 && argv[1][0] != '-') {
            std::vector<std::string_view> commands;
            for (const CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) commands.push_back(sub->get_name());
            if (const std::string near = nearest_name(argv[1], commands); !near.empty() && near != argv[1])
                std::fprintf(stderr, "Did you mean: cockpit-sim %s ?\n", near.c_str());
        }
        return code == 0 ? finish(0) : kScenarioMalformed;
    }

    if (*help) {
        if (help_topic.empty()) {
            std::fputs(app.help().c_str(), stdout);
            return finish(0);
        }
        for (CLI::App* sub : app.get_subcommands({})) {
            if (sub->get_name() == help_topic) {
                std::fputs(sub->help().c_str(), stdout);
                return finish(0);
            }
        }
        std::fprintf(stderr, "cockpit-sim: no command named %s\n", escape_control(help_topic).c_str());
        return kScenarioMalformed;
    }
    if (*run) return finish(run_with(run_args, Script::file));
    if (*fly) {
        if (!fly_timeline) fly_args.options.quiet = true;
        return finish(run_with(fly_args, Script::flight));
    }
    if (*campaign) return finish(run_campaign(campaign_count, campaign_seed, campaign_png, campaign_list));
    if (*serve_cmd) return finish(serve::serve_main(serve_options, stdout, stderr));
    if (*gauges_cmd) return finish(list_gauges());
    if (*areas) return finish(list_areas(gauge_name));
    if (*elements) return finish(list_elements(gauge_name));
    if (*tokens) return finish(list_tokens());
    if (*keys) return finish(list_keys());
    if (*vars) return finish(list_vars());
    if (*sounds) return finish(list_sounds());
    if (*panel_config) return finish(std::fputs(panel_configuration().c_str(), stdout) < 0 ? kScenarioIoError : 0);
    if (*wave) return finish(snd::print_wave_report(wave_file.c_str(), stdout, stderr));
    return finish(run_with(default_run, Script::default_scenario));
}
