#include "host/serve/server.h"

#include <httplib.h>
#include <signal.h>
#include <stdio.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <random>
#include <thread>

#include "host/pictures.h"
#include "host/scenario.h"
#include "host/serve/web_files.h"
#include "host/simulator.h"
#include "module/module_state.h"
#include "sound/platform.h"
#include "sound/sound.h"

namespace tarvenol::host::serve {

using json = nlohmann::json;

// --- The request checks --------------------------------------------------------------------------

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool is_loopback(const std::string& address) {
    return address == "localhost" || address == "::1" || address.rfind("127.", 0) == 0;
}

}  // namespace

std::vector<std::string> served_authorities(const std::string& bind, int port, const std::vector<std::string>& allowed) {
    std::vector<std::string> names;
    const std::string p = ":" + std::to_string(port);
    const bool v6 = bind.find(':') != std::string::npos;
    // Every address: this machine reaches it by its loopback names; nobody by the wildcard itself.
    if (bind == "0.0.0.0" || bind == "::") {
        names = {"127.0.0.1" + p, "[::1]" + p};
    } else {
        names.push_back(lower(v6 ? "[" + bind + "]" : bind) + p);
    }
    if (is_loopback(bind) || names.size() > 1) names.push_back("localhost" + p);
    for (const std::string& a : allowed) names.push_back(lower(a) + p);
    return names;
}

std::string refusal(const RequestFacts& r, const std::vector<std::string>& authorities) {
    const auto served = [&](std::string_view authority) {
        return std::find(authorities.begin(), authorities.end(), lower(authority)) != authorities.end();
    };
    if (r.host.empty()) return "no Host header";
    // Another name for this address (a rebound DNS name) is another site's page reaching in.
    if (!served(r.host)) return "Host " + std::string(r.host) + " is not this server";
    if (!r.origin.empty()) {
        constexpr std::string_view kScheme = "http://";
        if (r.origin.substr(0, kScheme.size()) != kScheme || !served(r.origin.substr(kScheme.size())))
            return "Origin " + std::string(r.origin) + " is not this server's page";
    } else if (r.method != "GET" && r.method != "HEAD") {
        return "a request that acts on the cockpit must come from its page (no Origin)";
    }
    if (!r.fetch_site.empty() && r.fetch_site != "same-origin" && r.fetch_site != "none")
        return "a request from another site (" + std::string(r.fetch_site) + ")";
    return {};
}

namespace {

// --- Streams into lines --------------------------------------------------------------------------

// A stdio stream whose complete lines go to a function (glibc's fopencookie).
class LineStream {
public:
    explicit LineStream(std::function<void(const std::string&)> on_line) : on_line_(std::move(on_line)) {
        cookie_io_functions_t io{};
        io.write = &LineStream::write;
        file_ = fopencookie(this, "w", io);
        if (file_) setvbuf(file_, nullptr, _IOLBF, 0);
    }
    ~LineStream() {
        if (file_) std::fclose(file_);
    }
    LineStream(const LineStream&) = delete;
    LineStream& operator=(const LineStream&) = delete;
    std::FILE* file() const { return file_; }

private:
    static ssize_t write(void* cookie, const char* data, size_t size) {
        auto* self = static_cast<LineStream*>(cookie);
        for (size_t i = 0; i < size; ++i) {
            if (data[i] == '\n') {
                self->on_line_(self->partial_);
                self->partial_.clear();
            } else if (self->partial_.size() < kLongestLine) {
                self->partial_ += data[i];
            }
        }
        return static_cast<ssize_t>(size);
    }
    static constexpr std::size_t kLongestLine = 64 * 1024;
    std::function<void(const std::string&)> on_line_;
    std::string partial_;
    std::FILE* file_ = nullptr;
};

// The last lines of a stream, numbered from 0 as they came.
class LineLog {
public:
    static constexpr std::size_t kKept = 5000;
    void add(std::string line) {
        lines_.push_back(std::move(line));
        if (lines_.size() > kKept) {
            lines_.pop_front();
            ++first_;
        }
    }
    std::uint64_t first() const { return first_; }
    std::uint64_t next() const { return first_ + lines_.size(); }
    // Lines from `since` on (those still kept), at most `most`.
    std::vector<std::string> since(std::uint64_t since, std::size_t most) const {
        std::vector<std::string> out;
        for (std::uint64_t i = std::max(since, first_); i < next() && out.size() < most; ++i) out.push_back(lines_[i - first_]);
        return out;
    }

private:
    std::deque<std::string> lines_;
    std::uint64_t first_ = 0;
};

// The mouse buttons of the panel system's mouse flags.
constexpr std::uint32_t kLeftSingle = abi::MOUSE_LEFTSINGLE;
constexpr std::uint32_t kRightSingle = 0x80000000u;

// What the page's picture of a gauge depends on: every element's shown bit, value and text.
std::uint32_t drawing_version(const GaugeInfo& g, const PanelHost& host) {
    std::uint32_t h = 2166136261u;
    const auto mix = [&h](const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (std::size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 16777619u;
    };
    for (std::size_t i = 0; i < g.element_count; ++i) {
        const abi::ELEMENT_HEADER* e = g.elements[i]->header;
        const bool shown = is_visible(*e);
        const double value = host.element_value(e), y = host.element_y_value(e);  // a sphere's pitch too
        mix(&shown, sizeof shown);
        mix(&value, sizeof value);
        mix(&y, sizeof y);
        if (e->element_type == abi::ELEMENT_TYPE_STRING)
            if (const char* t = host.element_text(e)) mix(t, std::strlen(t));
    }
    return h;
}

const char* result_name(int code) {
    switch (code) {
        case kScenarioPassed: return "done";
        case kScenarioExpectFailed: return "expect failed";
        case kScenarioMalformed: return "malformed";
        default: return "output failed";
    }
}

}  // namespace

// --- The server ----------------------------------------------------------------------------------

struct Server::Impl {
    Impl(ServeOptions o, std::FILE* e)
        : options(std::move(o)), err(e),
          out_stream([this](const std::string& l) { timeline.add(l); }),
          err_stream([this](const std::string& l) { messages.add(l); }),
          csv_stream([this](const std::string& l) { on_csv_line(l); }),
          session("console", out_stream.file(), err_stream.file(), csv_stream.file()) {
        running = !options.paused;
    }

    // The trace to its file, and the sound requests to the pages.
    void on_csv_line(const std::string& line) {
        if (trace) std::fprintf(trace, "%s\n", line.c_str());
        const std::vector<std::string> f = csv_row(line);
        // frame,time_s,kind,subject,detail,before,after
        if (f.size() == 7 && f[2] == "sound") {
            sounds.push_back({next_sound++, f[3], f[4], f[6]});
            if (sounds.size() > LineLog::kKept) sounds.pop_front();
        }
    }

    void flush() {
        std::fflush(out_stream.file());
        std::fflush(err_stream.file());
        std::fflush(csv_stream.file());
    }

    // Runs a line as the console's; the output it gave.
    json run_line(const std::string& line) {
        const std::uint64_t from_messages = messages.next(), from_timeline = timeline.next();
        const int code = session.run_line(line);
        flush();
        json output = json::array();
        for (auto& l : messages.since(from_messages, LineLog::kKept)) output.push_back(l);
        for (auto& l : timeline.since(from_timeline, LineLog::kKept)) output.push_back(l);
        return {{"result", result_name(code)}, {"output", output}};
    }

    void frames_loop();
    void routes();
    json state(const httplib::Request& req);
    json layout() const;
    bool client_known(const httplib::Request& req);

    ServeOptions options;
    std::FILE* err;
    std::FILE* trace = nullptr;
    std::mutex mutex;  // everything below, and the module
    LineLog timeline;
    LineLog messages;
    struct SoundEvent {
        std::uint64_t seq;
        std::string name, kind, volume;
    };
    std::deque<SoundEvent> sounds;
    std::uint64_t next_sound = 0;
    LineStream out_stream, err_stream, csv_stream;
    ScenarioSession session;
    bool running = true;
    int speed = 1;
    int steps = 0;
    std::map<std::string, std::chrono::steady_clock::time_point> clients;
    std::mt19937_64 random{std::random_device{}()};

    httplib::Server http;
    std::vector<std::string> authorities;
    int port = 0;
    std::atomic<bool> stopping{false};
    std::thread http_thread, frames_thread;
};

void Server::Impl::frames_loop() {
    using Clock = std::chrono::steady_clock;
    constexpr long long kCatchUpFrames = 512;  // frames of a tick command run at one go
    constexpr auto kIdle = std::chrono::milliseconds(20);
    constexpr auto kMostBehind = std::chrono::milliseconds(250);
    auto next = Clock::now();
    while (!stopping) {
        Clock::duration period = kIdle;
        {
            std::lock_guard lock(mutex);
            if (session.pending_frames() > 0) {
                // A tick command from the console runs as fast as it can, a slice at a time.
                session.advance(kCatchUpFrames);
                flush();
                next = Clock::now();
                continue;
            }
            if (running || steps > 0) {
                session.advance(1);
                flush();
                if (steps > 0) --steps;
            }
            if (running)
                period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kSecondsPerTick / speed));
        }
        next += period;
        const auto now = Clock::now();
        // A machine too slow for the speed asked runs as fast as it can, without a backlog.
        if (now - next > kMostBehind) next = now;
        std::this_thread::sleep_until(next);
    }
}

bool Server::Impl::client_known(const httplib::Request& req) {
    const auto it = clients.find(req.get_header_value("X-Cockpit-Client"));
    if (it == clients.end()) return false;
    it->second = std::chrono::steady_clock::now();
    return true;
}

json Server::Impl::layout() const {
    json windows = json::array();
    for (std::uint32_t id : panel_windows()) {
        int w = 0, h = 0;
        json gs = json::array();
        const auto& all = gauges();
        for (const Placement& p : arrange(id, w, h)) {
            const GaugeInfo& g = *p.gauge;
            json areas = json::array();
            for (std::size_t i = 0; i < g.area_count; ++i) {
                const abi::MOUSERECT& r = g.rects[i + 1];
                areas.push_back({{"name", g.areas[i].name},
                                 {"x", r.relative_box.x}, {"y", r.relative_box.y},
                                 {"w", r.relative_box.size_x}, {"h", r.relative_box.size_y},
                                 {"repeat", (r.mouse_flags & abi::MOUSE_DOWN_REPEAT) != 0}});
            }
            const std::size_t index = std::find(all.begin(), all.end(), &g) - all.begin();
            gs.push_back({{"index", index}, {"name", g.name}, {"x", p.x}, {"y", p.y}, {"w", g.size->w},
                          {"h", g.size->h}, {"areas", areas}});
        }
        windows.push_back({{"id", id}, {"title", window_title(id)}, {"w", w}, {"h", h}, {"gauges", gs}});
    }
    json sound_names = json::array();
    for (int i = 0; i < snd::kSoundCount; ++i) sound_names.push_back(snd::kSoundNames[i]);
    json volumes = json::array();
    for (int i = 0; i < snd::kSoundCount; ++i) volumes.push_back(snd::kInitialVolumes[i]);
    return {{"windows", windows}, {"speeds", kSpeeds}, {"sounds", sound_names}, {"volumes", volumes},
            {"framesPerSecond", kFramesPerSecond}};
}

json Server::Impl::state(const httplib::Request& req) {
    constexpr std::size_t kMostLines = 400;
    constexpr std::size_t kMostWatched = 32;
    const auto number = [&req](const char* key) -> std::uint64_t {
        if (!req.has_param(key)) return 0;
        try {
            return std::stoull(req.get_param_value(key));
        } catch (...) {
            return 0;
        }
    };
    Simulator& sim = session.simulator();
    json versions = json::array();
    for (const GaugeInfo* g : gauges()) versions.push_back(drawing_version(*g, sim.host()));
    json windows = json::array();
    for (std::uint32_t id : sim.host().open_windows()) windows.push_back(id);
    const std::uint64_t t = number("t");
    const std::vector<std::string> lines = timeline.since(t, kMostLines);
    json sound_events = json::array();
    const std::uint64_t s = number("s");
    for (const SoundEvent& e : sounds)
        if (e.seq >= s && sound_events.size() < kMostLines)
            sound_events.push_back({{"seq", e.seq}, {"name", e.name}, {"kind", e.kind}, {"volume", e.volume}});
    const std::uint64_t sounds_next =
        sound_events.size() == kMostLines ? sound_events.back()["seq"].get<std::uint64_t>() + 1 : next_sound;
    json watched = json::array();
    const std::size_t n = std::min(req.get_param_value_count("w"), kMostWatched);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string name = req.get_param_value("w", i);
        double v = 0;
        std::string error;
        if (name.size() <= kMaxLineBytes && session.read(name, v, error))
            watched.push_back({{"name", name}, {"value", std::isfinite(v) ? json(v) : json(std::to_string(v))}});
        else
            watched.push_back({{"name", name}, {"error", error.empty() ? "too long" : error}});
    }
    const std::uint64_t timeline_next = std::max(t, timeline.first()) + lines.size();
    return {{"frame", sim.frames_run()},
            {"running", running},
            {"speed", speed},
            {"pending", session.pending_frames()},
            {"windows", windows},
            {"versions", versions},
            {"timeline", {{"next", timeline_next}, {"lines", lines}}},
            {"sounds", {{"next", sounds_next}, {"events", sound_events}}},
            {"watch", watched}};
}

void Server::Impl::routes() {
    http.new_task_queue = [] {
        // Each page keeps a few connections open (polls, pictures); some to spare for the rest.
        constexpr std::size_t kThreads = 6 * kMaxClients + 4;
        return new httplib::ThreadPool(kThreads);
    };
    http.set_payload_max_length(kMaxBodyBytes);
    http.set_keep_alive_max_count(100);
    http.set_keep_alive_timeout(2);
    http.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        const std::string host = req.get_header_value("Host"), origin = req.get_header_value("Origin"),
                          site = req.get_header_value("Sec-Fetch-Site");
        const std::string why = refusal({req.method, host, origin, site}, authorities);
        if (why.empty()) return httplib::Server::HandlerResponse::Unhandled;
        res.status = 403;
        res.set_content("refused: " + why + "\n", "text/plain");
        return httplib::Server::HandlerResponse::Handled;
    });
    http.set_post_routing_handler([](const httplib::Request&, httplib::Response& res) {
        res.set_header("X-Content-Type-Options", "nosniff");
        res.set_header("X-Frame-Options", "DENY");
        res.set_header("Content-Security-Policy", "default-src 'self'; img-src 'self' blob:; media-src 'self' blob:");
        res.set_header("Cache-Control", "no-store");
    });

    // The page.
    const auto page = [](const std::string& path, httplib::Response& res) {
        for (std::size_t i = 0; i < kWebFileCount; ++i) {
            if (path != kWebFiles[i].path) continue;
            const auto ends = [&path](std::string_view tail) {
                return path.size() >= tail.size() && path.compare(path.size() - tail.size(), tail.size(), tail) == 0;
            };
            const char* type = ends(".html") ? "text/html; charset=utf-8"
                               : ends(".js") ? "text/javascript; charset=utf-8"
                               : ends(".css") ? "text/css; charset=utf-8"
                                              : "application/octet-stream";
            res.set_content(reinterpret_cast<const char*>(kWebFiles[i].data), kWebFiles[i].size, type);
            return true;
        }
        return false;
    };
    http.Get("/", [page](const httplib::Request&, httplib::Response& res) { page("/index.html", res); });
    http.Get(R"(/[a-z_]+\.(html|js|css))", [page](const httplib::Request& req, httplib::Response& res) {
        if (!page(req.path, res)) res.status = 404;
    });

    // A gauge as drawn now.
    http.Get(R"(/gauge/(\d+)\.png)", [this](const httplib::Request& req, httplib::Response& res) {
        const auto& all = gauges();
        const std::string n = req.matches[1];
        const std::size_t index = n.size() < 5 ? std::stoul(n) : all.size();
        if (index >= all.size()) {
            res.status = 404;
            return;
        }
        std::lock_guard lock(mutex);
        res.set_content(gauge_png(*all[index], session.simulator().host()), "image/png");
    });

    // The cockpit's sounds, as the module carries them.
    http.Get(R"(/sounds/([A-Z0-9_]+)\.wav)", [](const httplib::Request& req, httplib::Response& res) {
        const std::string name = req.matches[1];
        if (find_sound(name) == snd::kSoundCount) {
            res.status = 404;
            return;
        }
        const snd::Bytes b = snd::find_resource(0, name.c_str());
        if (!b.data) {
            res.status = 404;
            return;
        }
        res.set_content(reinterpret_cast<const char*>(b.data), b.size, "audio/wav");
    });

    http.Post("/api/hello", [this](const httplib::Request&, httplib::Response& res) {
        std::lock_guard lock(mutex);
        const auto now = std::chrono::steady_clock::now();
        std::erase_if(clients, [now](const auto& c) {
            return now - c.second > std::chrono::seconds(kClientForgottenAfterSeconds);
        });
        if (clients.size() >= static_cast<std::size_t>(kMaxClients)) {
            res.status = 503;
            res.set_content("too many pages open on this cockpit (" + std::to_string(kMaxClients) +
                                "): close one, or wait " + std::to_string(kClientForgottenAfterSeconds) + " s\n",
                            "text/plain");
            return;
        }
        char token[17];
        std::snprintf(token, sizeof token, "%016llx", static_cast<unsigned long long>(random()));
        clients[token] = now;
        res.set_content(json{{"client", token}}.dump(), "application/json");
    });

    // Everything else is a known page's.
    const auto api = [this](auto handler) {
        return [this, handler](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex);
            if (!client_known(req)) {
                res.status = 401;
                res.set_content("unknown page: say hello first\n", "text/plain");
                return;
            }
            handler(req, res);
        };
    };
    const auto body = [](const httplib::Request& req, json& out, httplib::Response& res) {
        out = json::parse(req.body, nullptr, false);
        if (out.is_object()) return true;
        res.status = 400;
        res.set_content("a JSON object expected\n", "text/plain");
        return false;
    };

    http.Get("/api/layout", api([this](const httplib::Request&, httplib::Response& res) {
        res.set_content(layout().dump(), "application/json");
    }));
    http.Get("/api/state", api([this](const httplib::Request& req, httplib::Response& res) {
        res.set_content(state(req).dump(-1, ' ', false, json::error_handler_t::replace), "application/json");
    }));
    http.Get("/api/scenario", api([this](const httplib::Request&, httplib::Response& res) {
        res.set_header("Content-Disposition", "attachment; filename=\"cockpit.scn\"");
        res.set_content(session.recorded(), "text/plain; charset=utf-8");
    }));
    http.Post("/api/command", api([this, body](const httplib::Request& req, httplib::Response& res) {
        json b;
        if (!body(req, b, res)) return;
        if (!b.contains("line") || !b["line"].is_string()) {
            res.status = 400;
            return;
        }
        const std::string line = b["line"];
        json reply;
        if (line.size() > kMaxLineBytes)
            reply = {{"result", "refused"}, {"output", {"a command line is at most " + std::to_string(kMaxLineBytes) + " bytes"}}};
        else if (session.pending_frames() > 0)
            reply = {{"result", "busy"}, {"output", {std::to_string(session.pending_frames()) + " frames of the last tick still to run"}}};
        else
            reply = run_line(line);
        res.set_content(reply.dump(-1, ' ', false, json::error_handler_t::replace), "application/json");
    }));
    http.Post("/api/click", api([this, body](const httplib::Request& req, httplib::Response& res) {
        json b;
        if (!body(req, b, res)) return;
        const auto& all = gauges();
        if (!b.contains("gauge") || !b["gauge"].is_number_unsigned() || b["gauge"].get<std::size_t>() >= all.size() ||
            !b.contains("x") || !b["x"].is_number_integer() || !b.contains("y") || !b["y"].is_number_integer()) {
            res.status = 400;
            return;
        }
        const GaugeInfo& g = *all[b["gauge"].get<std::size_t>()];
        const long long x = b["x"], y = b["y"];
        const std::uint32_t button = b.value("button", std::string("left")) == "right" ? kRightSingle : kLeftSingle;
        // The first area under the point that takes this button, as the panel system looks.
        for (std::size_t i = 0; i < g.area_count; ++i) {
            const abi::MOUSERECT& r = g.rects[i + 1];
            const auto& box = r.relative_box;
            if (x < box.x || y < box.y || x >= box.x + box.size_x || y >= box.y + box.size_y) continue;
            if (!(r.mouse_flags & button)) continue;
            if (session.pending_frames() > 0) {
                res.set_content(json{{"result", "busy"}, {"output", json::array()}}.dump(), "application/json");
                return;
            }
            json reply = run_line("click \"" + std::string(g.name) + "\" " + g.areas[i].name);
            reply["area"] = g.areas[i].name;
            reply["repeat"] = (r.mouse_flags & abi::MOUSE_DOWN_REPEAT) != 0;
            res.set_content(reply.dump(-1, ' ', false, json::error_handler_t::replace), "application/json");
            return;
        }
        res.set_content(json{{"result", "no area"}, {"output", json::array()}}.dump(), "application/json");
    }));
    http.Post("/api/control", api([this, body](const httplib::Request& req, httplib::Response& res) {
        json b;
        if (!body(req, b, res)) return;
        const std::string action = b.value("action", std::string());
        if (action == "run") {
            running = true;
        } else if (action == "pause") {
            running = false;
        } else if (action == "step") {
            running = false;
            ++steps;
        } else if (action == "speed" && b.contains("speed") && b["speed"].is_number_integer() &&
                   std::find(std::begin(kSpeeds), std::end(kSpeeds), b["speed"].get<int>()) != std::end(kSpeeds)) {
            speed = b["speed"];
        } else {
            res.status = 400;
            res.set_content("run, pause, step, or speed with 1, 2, 4 or 8\n", "text/plain");
            return;
        }
        res.set_content(json{{"running", running}, {"speed", speed}}.dump(), "application/json");
    }));
}

Server::Server(ServeOptions options, std::FILE* err) : impl_(std::make_unique<Impl>(std::move(options), err)) {}

Server::~Server() { stop(); }

int Server::prepare() {
    Impl& s = *impl_;
    if (!s.options.trace_path.empty()) {
        s.trace = std::fopen(s.options.trace_path.c_str(), "wb");
        if (!s.trace) {
            std::fprintf(s.err, "cockpit-sim serve: cannot write the trace file %s: %s\n", s.options.trace_path.c_str(),
                         std::strerror(errno));
            return kScenarioIoError;
        }
        std::fprintf(s.trace, "frame,time_s,kind,subject,detail,before,after\n");
    }
    int result = kScenarioPassed;
    if (!s.options.scenario.empty()) {
        std::FILE* f = std::fopen(s.options.scenario.c_str(), "rb");
        if (!f) {
            std::fprintf(s.err, "%s: cannot read the scenario file: %s\n", s.options.scenario.c_str(), std::strerror(errno));
            return kScenarioIoError;
        }
        std::string text;
        char buffer[1 << 16];
        std::size_t n = 0;
        while (text.size() <= kMaxScenarioBytes && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
        if (text.size() > kMaxScenarioBytes) {
            std::fprintf(s.err, "%s: refused: larger than %llu MB, not a scenario script\n", s.options.scenario.c_str(),
                         static_cast<unsigned long long>(kMaxScenarioBytes >> 20));
            return kScenarioMalformed;
        }
        const std::uint64_t from = s.messages.next();
        result = s.session.run_script(text, s.options.scenario);
        s.flush();
        for (const std::string& l : s.messages.since(from, LineLog::kKept)) std::fprintf(s.err, "%s\n", l.c_str());
        if (result == kScenarioMalformed || result == kScenarioIoError) return result;
    }
    s.routes();
    if (s.options.port == 0) {
        s.port = s.http.bind_to_any_port(s.options.bind);
    } else {
        s.port = s.http.bind_to_port(s.options.bind, s.options.port) ? s.options.port : -1;
    }
    if (s.port <= 0) {
        std::fprintf(s.err, "cockpit-sim serve: cannot listen on %s port %d\n", s.options.bind.c_str(), s.options.port);
        return kScenarioIoError;
    }
    s.authorities = served_authorities(s.options.bind, s.port, s.options.allow_hosts);
    return result;
}

int Server::port() const { return impl_->port; }

std::string Server::address() const {
    const std::string& a = impl_->options.bind;
    const std::string host = a == "0.0.0.0" ? "127.0.0.1"
                             : a == "::"    ? "[::1]"
                             : a.find(':') != std::string::npos ? "[" + a + "]"
                                                                : a;
    return "http://" + host + ":" + std::to_string(impl_->port) + "/";
}

void Server::start() {
    Impl& s = *impl_;
    s.http_thread = std::thread([&s] { s.http.listen_after_bind(); });
    s.frames_thread = std::thread([&s] { s.frames_loop(); });
}

void Server::stop() {
    Impl& s = *impl_;
    if (s.stopping.exchange(true)) return;
    s.http.stop();
    if (s.http_thread.joinable()) s.http_thread.join();
    if (s.frames_thread.joinable()) s.frames_thread.join();
    std::lock_guard lock(s.mutex);
    s.session.finish();
    s.flush();
    if (s.trace) {
        std::fclose(s.trace);
        s.trace = nullptr;
    }
}

bool serve_supported() { return true; }

int serve_main(const ServeOptions& options, std::FILE* out, std::FILE* err) {
    // The signals that end the server are waited for here, not delivered to a thread.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    Server server(options, err);
    const int prepared = server.prepare();
    if (prepared == kScenarioMalformed || prepared == kScenarioIoError || server.port() <= 0) return prepared;
    if (options.bind != kLoopback && !is_loopback(options.bind))
        std::fprintf(err, "cockpit-sim serve: listening on %s: any machine that reaches it can drive this cockpit\n",
                     options.bind.c_str());
    server.start();
    std::fprintf(out, "cockpit-sim serve: the live cockpit is at %s (Ctrl-C stops it)\n", server.address().c_str());
    std::fflush(out);
    int signal_number = 0;
    sigwait(&stop_signals, &signal_number);
    server.stop();
    std::fprintf(out, "cockpit-sim serve: stopped\n");
    return prepared;
}

}  // namespace tarvenol::host::serve
