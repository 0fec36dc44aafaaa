// cockpit-sim: the stand-in simulator on the command line. Runs scenario scripts against the
// module, and lists the names scenarios use (gauges, click areas, elements, simulator variables,
// key events, module variables).
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "host/aircraft_model.h"
#include "host/pictures.h"
#include "host/scenario.h"
#include "host/sim_tokens.h"
#include "module/module_state.h"
#include "module/shared_state.h"
#include "sound/wave.h"

namespace {

using namespace tarvenol;
using namespace tarvenol::host;

constexpr int kUsageError = 2;
constexpr const char* kDefaultPicturesDir = "cockpit-pictures";

struct Help {
    const char* command;
    const char* usage;
    const char* text;
};

const Help kHelp[] = {
    {"run", "cockpit-sim run FILE [--trace TRACE.csv] [--audio AUDIO.wav] [--pictures DIR] [--quiet]",
     "Runs a scenario script against a freshly loaded module in a blank simulator and prints what\n"
     "changed frame by frame. Exit status 0 when every expect holds, 1 at the first that fails\n"
     "(file:line, expected and actual), 2 on a malformed script.\n"
     "  --trace FILE   also writes the timeline as CSV (frame,time_s,kind,subject,detail,before,after)\n"
     "  --audio FILE   writes what the cockpit played as a WAV file (1/18 s per frame)\n"
     "  --pictures DIR each picture command writes DIR/NAME/ (a PNG per gauge and per open panel\n"
     "                 window); DIR/index.html shows them with the timeline\n"
     "  --quiet        prints only print commands and failures\n"},
    {"panel-config", "cockpit-sim panel-config",
     "Prints the sample panel configuration: every gauge on the main panel or its panel window.\n"},
    {"gauges", "cockpit-sim gauges", "Lists the gauges in Linkage order with their widths in millimetres.\n"},
    {"areas", "cockpit-sim areas \"GAUGE NAME\"", "Lists the click areas of a gauge, as click commands name them.\n"},
    {"elements", "cockpit-sim elements \"GAUGE NAME\"",
     "Lists the elements of a gauge in drawing order, as expect element names them.\n"},
    {"tokens", "cockpit-sim tokens",
     "Lists the simulator variables: token, name, type read (FLOAT64 or INT32) and unit.\n"},
    {"keys", "cockpit-sim keys",
     "Lists the key events the cockpit sends, by id and name; those the stand-in simulator answers\n"
     "are marked (aircraft: while the model is on; panel: always).\n"},
    {"vars", "cockpit-sim vars", "Lists the module variables scenarios can set, expect and print.\n"},
    {"wave", "cockpit-sim wave FILE.wav",
     "Checks a replacement sound: tells whether the cockpit would load the wave file and what it holds.\n"},
};

void print_usage(std::FILE* f) {
    std::fprintf(f,
                 "cockpit-sim: the stand-in simulator for the tarvenol cockpit module\n\n"
                 "  cockpit-sim                 runs the default scenario, shows its timeline and writes its\n"
                 "                              pictures with their viewer to cockpit-pictures/\n");
    for (const Help& h : kHelp) std::fprintf(f, "  %s\n", h.usage);
    std::fprintf(f, "\n'cockpit-sim COMMAND --help' tells more about a command.\n");
}

bool wants_help(int argc, char** argv) {
    for (int i = 2; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    return false;
}

int usage_error(const char* command, const std::string& message) {
    for (const Help& h : kHelp)
        if (std::strcmp(h.command, command) == 0) std::fprintf(stderr, "cockpit-sim: %s\nusage: %s\n", message.c_str(), h.usage);
    return kUsageError;
}

const GaugeInfo* gauge_argument(const char* command, int argc, char** argv) {
    if (argc != 3) {
        usage_error(command, "one gauge name expected");
        return nullptr;
    }
    const GaugeInfo* g = find_gauge(argv[2]);
    if (!g) {
        std::fprintf(stderr, "cockpit-sim: no gauge named \"%s\" (cockpit-sim gauges lists them)\n", argv[2]);
        return nullptr;
    }
    return g;
}

int list_gauges() {
    int i = 0;
    for (const GaugeInfo* g : gauges()) std::printf("%3d  %-42s %4u mm\n", i++, g->name, g->header->size_x_mm);
    return 0;
}

int list_areas(int argc, char** argv) {
    const GaugeInfo* g = gauge_argument("areas", argc, argv);
    if (!g) return kUsageError;
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

int list_elements(int argc, char** argv) {
    const GaugeInfo* g = gauge_argument("elements", argc, argv);
    if (!g) return kUsageError;
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
    auto show = [](const VarRef& v, const char* owner) {
        if (v.count > 1)
            std::printf("%-36s %-4s [%u]  %s\n", v.name, var_type(v.type), v.count, owner);
        else
            std::printf("%-36s %-4s       %s\n", v.name, var_type(v.type), owner);
    };
    for (const VarRef& v : shared_var_table()) show(v, "shared");
    for (const GaugeInfo* g : gauges())
        for (const VarRef& v : g->vars) show(v, g->name);
    return 0;
}

int check_wave(int argc, char** argv) {
    if (argc != 3) return usage_error("wave", "one wave file expected");
    return snd::print_wave_report(argv[2], stdout);
}

int run(int argc, char** argv) {
    ScenarioOptions options;
    std::string file;
    for (int i = 2; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--quiet") {
            options.quiet = true;
        } else if (a == "--trace" || a == "--audio" || a == "--pictures") {
            if (i + 1 >= argc) return usage_error("run", std::string(a) + " needs a file name");
            (a == "--trace" ? options.trace_path : a == "--audio" ? options.audio_path : options.pictures_dir) = argv[++i];
        } else if (!a.empty() && a[0] == '-') {
            return usage_error("run", "unknown option " + std::string(a));
        } else if (file.empty()) {
            file = argv[i];
        } else {
            return usage_error("run", "one scenario file expected");
        }
    }
    if (file.empty()) return usage_error("run", "a scenario file expected");
    return run_scenario_file(file, options, stdout, stderr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        ScenarioOptions options;
        // The default scenario's key moments, as pictures and a viewer page.
        if (pictures_supported()) options.pictures_dir = kDefaultPicturesDir;
        return run_scenario(kDefaultScenario, kDefaultScenarioName, options, stdout, stderr);
    }
    const std::string_view command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        print_usage(stdout);
        return 0;
    }
    for (const Help& h : kHelp) {
        if (command == h.command && wants_help(argc, argv)) {
            std::printf("usage: %s\n\n%s", h.usage, h.text);
            return 0;
        }
    }
    if (command == "run") return run(argc, argv);
    if (command == "gauges") return list_gauges();
    if (command == "panel-config") return std::fputs(panel_configuration().c_str(), stdout) < 0 ? 1 : 0;
    if (command == "areas") return list_areas(argc, argv);
    if (command == "elements") return list_elements(argc, argv);
    if (command == "tokens") return list_tokens();
    if (command == "keys") return list_keys();
    if (command == "vars") return list_vars();
    if (command == "wave") return check_wave(argc, argv);
    std::fprintf(stderr, "cockpit-sim: unknown command %s\n\n", argv[1]);
    print_usage(stderr);
    return kUsageError;
}
