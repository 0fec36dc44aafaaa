#include "host/serve/server.h"

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
#include <set>
#include <thread>
#include <tuple>

#include "host/pictures.h"
#include "host/scenario.h"
#include "host/serve/http.h"
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
    return lower(address) == "localhost" || address == "::1" || address.rfind("127.", 0) == 0;
}

}  // namespace

std::vector<std::string> served_authorities(const std::string& bind, int port, const std::vector<std::string>& allowed) {
    std::vector<std::string> names;
    const std::string p = ":" + std::to_string(port);
    const bool v6 = bind.find(':') != std::string::npos;
    // Every address: this machine reaches it by its loopback names; nobody by the wildcard itself.
    if (bind == "0.0.0.0" || bind == "::" || lower(bind) == "localhost") {
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
        std::string_view rest(data, size);
        while (!rest.empty()) {
            const std::size_t end = rest.find('\n');
            const std::string_view part = rest.substr(0, end);
            self->partial_.append(part.substr(0, kLongestLine - std::min(kLongestLine, self->partial_.size())));
            if (end == std::string_view::npos) break;
            self->on_line_(self->partial_);
            self->partial_.clear();
            rest.remove_prefix(end + 1);
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
          pictures(gauges().size()) {
        running = !options.paused;
    }

    // The session, once the trace (if any) is open: the timeline as CSV goes straight to it.
    void open_session() {
        session = std::make_unique<ScenarioSession>("console", out_stream.file(), err_stream.file(), trace);
        session->set_pictures_dir(options.pictures_dir);
        session->simulator().set_sound_log([this](const snd::mixer::SoundRequest& r) { on_sound(r); });
    }

    // The sound requests, for the pages.
    void on_sound(const snd::mixer::SoundRequest& r) {
        using snd::mixer::RequestKind;
        if (r.kind == RequestKind::create || r.kind == RequestKind::release || !r.name) return;
        const std::string name = r.name, kind = snd::mixer::request_name(r.kind);
        const std::string volume = r.kind == RequestKind::volume ? std::to_string(r.volume) : "";
        sounds.push_back({next_sound++, name, kind, volume});
        if (sounds.size() > LineLog::kKept) sounds.pop_front();
        if (r.kind == RequestKind::play_loop) looping.insert(name);
        if (r.kind == RequestKind::stop) looping.erase(name);
        if (r.kind == RequestKind::volume) volumes[name] = volume;
    }

    void flush() {
        std::fflush(out_stream.file());
        std::fflush(err_stream.file());
        if (trace) std::fflush(trace);
    }

    // Runs a line as the console's; the output it gave.
    json run_line(const std::string& line) {
        const std::uint64_t from_messages = messages.next(), from_timeline = timeline.next();
        // A tick command running: the line comes in between its frames, and the rest runs after it.
        const long long rest = session->cut_tick();
        const int code = session->run_line(line);
        session->resume_tick(rest);
        flush();
        json output = json::array();
        for (auto& l : messages.since(from_messages, LineLog::kKept)) output.push_back(l);
        for (auto& l : timeline.since(from_timeline, LineLog::kKept)) output.push_back(l);
        return {{"result", result_name(code)}, {"output", output}};
    }

    void frames_loop();
    void handle(const http::Request& req, http::Response& res);
    void api(const http::Request& req, http::Response& res);
    json state(const http::Request& req);
    json layout() const;
    json hello(const json& body, http::Response& res);
    bool client_known(const http::Request& req);
    void picture(std::size_t index, http::Response& res);

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
    std::set<std::string> looping;              // the loops on now
    std::map<std::string, std::string> volumes;  // the volumes set, by sound
    LineStream out_stream, err_stream;
    std::unique_ptr<ScenarioSession> session;
    bool running = true;
    bool tick_held = false;  // a console tick paused
    int speed = 1;
    int steps = 0;
    std::map<std::string, std::chrono::steady_clock::time_point> clients;
    std::mt19937_64 random{std::random_device{}()};

    // The last picture drawn of each gauge, by the version of what it shows.
    struct Drawn {
        std::uint32_t version = 0;
        std::shared_ptr<const std::string> png;
    };
    std::mutex pictures_mutex;
    std::vector<Drawn> pictures;

    std::unique_ptr<http::Server> http;
    std::vector<std::string> authorities;
    int port = 0;
    std::atomic<bool> stopping{false};
    std::thread frames_thread;
};

void Server::Impl::frames_loop() {
    using Clock = std::chrono::steady_clock;
    // A console tick runs its frames in slices as long as this, with the lock let go between them.
    constexpr auto kSlice = std::chrono::milliseconds(15);
    constexpr auto kLetRequestsIn = std::chrono::milliseconds(1);
    constexpr long long kFramesPerCheck = 16;
    constexpr auto kIdle = std::chrono::milliseconds(20);
    constexpr auto kMostBehind = std::chrono::milliseconds(1000);
    auto next = Clock::now();
    while (!stopping) {
        Clock::duration period = kIdle;
        bool ticking = false;
        {
            std::lock_guard lock(mutex);
            if (session->pending_frames() > 0 && !tick_held) {
                // A tick command from the console runs as fast as `run` does, a slice at a time.
                const auto until = Clock::now() + kSlice;
                while (session->pending_frames() > 0 && Clock::now() < until) session->advance(kFramesPerCheck);
                flush();
                ticking = true;
            } else {
                if (running || steps > 0) {
                    session->advance(1);
                    flush();
                    if (steps > 0) --steps;
                }
                if (running)
                    period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kSecondsPerTick / speed));
            }
        }
        if (ticking) {
            // The lock is not fair: a yield alone can hand it straight back to this thread and
            // starve the page's requests for the whole tick. A pause of a millisecond after each
            // slice lets every waiting request in (a few per cent of the tick's speed).
            std::this_thread::sleep_for(kLetRequestsIn);
            next = Clock::now();
            continue;
        }
        next += period;
        const auto now = Clock::now();
        // A machine too slow for the speed asked runs as fast as it can, without a backlog.
        if (now - next > kMostBehind) next = now;
        std::this_thread::sleep_until(next);
    }
}

bool Server::Impl::client_known(const http::Request& req) {
    const auto it = clients.find(req.header("x-cockpit-client"));
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
        const cockpit::Window* declared = cockpit::find_window(id);
        windows.push_back({{"id", id}, {"title", window_title(id)}, {"w", w}, {"h", h},
                           {"opens", declared ? static_cast<int>(declared->opens) : 0}, {"gauges", gs}});
    }
    json sound_names = json::array();
    for (int i = 0; i < snd::kSoundCount; ++i) sound_names.push_back(snd::kSoundNames[i]);
    json volumes = json::array();
    for (int i = 0; i < snd::kSoundCount; ++i) volumes.push_back(snd::kInitialVolumes[i]);
    return {{"windows", windows}, {"speeds", kSpeeds}, {"sounds", sound_names}, {"volumes", volumes},
            {"framesPerSecond", kFramesPerSecond}};
}

json Server::Impl::state(const http::Request& req) {
    constexpr std::size_t kMostLines = 400;
    constexpr std::size_t kMostWatched = 32;
    const auto number = [&req](const char* key) -> std::uint64_t {
        const std::vector<std::string> v = req.param_values(key);
        if (v.empty() || v[0].empty() || v[0].size() > 19 ||
            !std::all_of(v[0].begin(), v[0].end(), [](char c) { return c >= '0' && c <= '9'; }))
            return 0;
        return std::stoull(v[0]);
    };
    Simulator& sim = session->simulator();
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
    const std::vector<std::string> names = req.param_values("w");
    for (std::size_t i = 0; i < names.size() && i < kMostWatched; ++i) {
        const std::string& name = names[i];
        double v = 0;
        std::string error;
        if (name.size() <= kMaxLineBytes && session->read(name, v, error))
            watched.push_back({{"name", name}, {"value", std::isfinite(v) ? json(v) : json(std::to_string(v))}});
        else
            watched.push_back({{"name", name}, {"error", error.empty() ? "too long" : error}});
    }
    const std::uint64_t timeline_next = std::max(t, timeline.first()) + lines.size();
    return {{"frame", sim.frames_run()},
            {"running", running},
            {"speed", speed},
            {"pending", session->pending_frames()},
            {"tick", session->pending_frames() > 0 ? session->tick_frames() : 0},
            {"tickHeld", tick_held && session->pending_frames() > 0},
            {"windows", windows},
            {"versions", versions},
            {"timeline", {{"next", timeline_next}, {"lines", lines}}},
            {"sounds", {{"next", sounds_next}, {"events", sound_events}}},
            {"watch", watched}};
}

// A page says hello and gets its place, or takes back the one it had (reloaded, or woken in a
// background tab after its place was given up): where the timeline and the sounds are now, and
// what of the sounds goes on (loops, volumes), so that it plays only what is asked from now on.
json Server::Impl::hello(const json& body, http::Response& res) {
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(clients, [now](const auto& c) {
        return now - c.second > std::chrono::seconds(kClientForgottenAfterSeconds);
    });
    std::string token;
    if (body.contains("client")) {
        const json& c = body["client"];
        if (c.is_string() && c.get<std::string>().size() == 16 &&
            std::all_of(c.get_ref<const std::string&>().begin(), c.get_ref<const std::string&>().end(),
                        [](char ch) { return std::isxdigit(static_cast<unsigned char>(ch)) != 0; }))
            token = c;
    }
    const bool returning = !token.empty() && clients.count(token) > 0;
    if (!returning && clients.size() >= static_cast<std::size_t>(kMaxClients)) {
        res.status = 503;
        res.set("too many pages open on this cockpit (" + std::to_string(kMaxClients) + "): close one, or wait " +
                    std::to_string(kClientForgottenAfterSeconds) + " s\n",
                "text/plain; charset=utf-8");
        return {};
    }
    if (token.empty()) {
        char t[17];
        std::snprintf(t, sizeof t, "%016llx", static_cast<unsigned long long>(random()));
        token = t;
    }
    clients[token] = now;
    json loops = json::array();
    for (const std::string& l : looping) loops.push_back(l);
    return {{"client", token},
            {"sounds", {{"next", next_sound}, {"looping", loops}, {"volumes", volumes}}},
            {"timeline", timeline.first()}};
}

void Server::Impl::picture(std::size_t index, http::Response& res) {
    const GaugeInfo& g = *gauges()[index];
    std::vector<ElementShot> shot;
    std::uint32_t version = 0;
    {
        std::lock_guard lock(mutex);
        version = drawing_version(g, session->simulator().host());
        shot = snapshot(g, session->simulator().host());
    }
    {
        std::lock_guard lock(pictures_mutex);
        if (pictures[index].png && pictures[index].version == version) return res.set(*pictures[index].png, "image/png");
    }
    // Drawn while the simulation runs on.
    auto png = std::make_shared<const std::string>(gauge_png(g, shot));
    res.set(*png, "image/png");
    std::lock_guard lock(pictures_mutex);
    pictures[index] = {version, std::move(png)};
}

namespace {

bool ends_with(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The page's files.
bool page_file(const std::string& path, http::Response& res) {
    for (std::size_t i = 0; i < kWebFileCount; ++i) {
        if (path != kWebFiles[i].path) continue;
        const char* type = ends_with(path, ".html")  ? "text/html; charset=utf-8"
                           : ends_with(path, ".js")  ? "text/javascript; charset=utf-8"
                           : ends_with(path, ".css") ? "text/css; charset=utf-8"
                           : ends_with(path, ".svg") ? "image/svg+xml"
                                                     : "application/octet-stream";
        res.set(std::string(reinterpret_cast<const char*>(kWebFiles[i].data), kWebFiles[i].size), type);
        return true;
    }
    return false;
}

// A field of a request's JSON body: what is wrong with it, or "" when it is as asked.
enum class Field { string, integer, unsigned_integer };
std::string wrong_field(const json& body, const char* name, Field type, bool required) {
    if (!body.contains(name)) return required ? std::string(name) + ": missing" : std::string();
    const json& v = body[name];
    switch (type) {
        case Field::string:
            if (v.is_string()) return {};
            return std::string(name) + ": a string expected, not " + v.type_name();
        case Field::integer:
            if (v.is_number_integer()) return {};
            return std::string(name) + ": a whole number expected, not " + v.type_name();
        case Field::unsigned_integer:
            if (v.is_number_unsigned()) return {};
            return std::string(name) + ": a whole number from 0 expected, not " + (v.is_number() ? "a negative or decimal number" : v.type_name());
    }
    return {};
}

bool is_digits(const std::string& s) {
    return !s.empty() && s.size() < 6 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void Server::Impl::handle(const http::Request& req, http::Response& res) {
    res.headers = {{"X-Content-Type-Options", "nosniff"},
                   {"X-Frame-Options", "DENY"},
                   {"Content-Security-Policy", "default-src 'self'; img-src 'self' blob:; media-src 'self' blob:"},
                   {"Cache-Control", "no-store"}};
    const std::string why = refusal({req.method, req.header("host"), req.header("origin"), req.header("sec-fetch-site")}, authorities);
    if (!why.empty()) {
        res.status = 403;
        res.body = "refused: " + why + "\n";
        return;
    }
    const std::string& path = req.path;
    const bool get = req.method == "GET" || req.method == "HEAD";
    if (path.rfind("/api/", 0) == 0) return api(req, res);
    if (!get) {
        res.status = 405;
        res.body = "GET only\n";
        return;
    }
    if (path == "/") {
        page_file("/index.html", res);
    } else if (path == "/favicon.ico") {
        page_file("/favicon.svg", res);
    } else if (path.rfind("/gauge/", 0) == 0 && ends_with(path, ".png")) {
        const std::string n = path.substr(7, path.size() - 11);
        if (!is_digits(n) || std::stoul(n) >= gauges().size()) {
            res.status = 404;
            return;
        }
        picture(std::stoul(n), res);
    } else if (path.rfind("/sounds/", 0) == 0 && ends_with(path, ".wav")) {
        // The cockpit's sounds, as the module carries them.
        const std::string name = path.substr(8, path.size() - 12);
        const snd::Bytes b = find_sound(name) == snd::kSoundCount ? snd::Bytes{} : snd::find_resource(0, name.c_str());
        if (!b.data) {
            res.status = 404;
            return;
        }
        res.set(std::string(reinterpret_cast<const char*>(b.data), b.size), "audio/wav");
    } else if (!page_file(path, res)) {
        res.status = 404;
        res.body = "not found\n";
    }
}

void Server::Impl::api(const http::Request& req, http::Response& res) {
    const std::string& path = req.path;
    const bool post = req.method == "POST";
    json body;
    if (post) {
        body = json::parse(req.body, nullptr, false);
        if (!body.is_object()) {
            res.status = 400;
            res.body = "a JSON object expected\n";
            return;
        }
    }
    const auto bad = [&res](const std::string& why) {
        res.status = 400;
        res.body = why + "\n";
    };
    const auto reply = [&res](const json& j) {
        res.set(j.dump(-1, ' ', false, json::error_handler_t::replace), "application/json");
    };
    std::lock_guard lock(mutex);
    if (post && path == "/api/hello") {
        if (const std::string w = wrong_field(body, "client", Field::string, false); !w.empty()) return bad(w);
        const json j = hello(body, res);
        if (res.status == 200) reply(j);
        return;
    }
    // Everything else is a known page's.
    const bool known = path == "/api/layout" || path == "/api/state" || path == "/api/scenario" || path == "/api/command" ||
                       path == "/api/click" || path == "/api/control";
    if (!known) {
        res.status = 404;
        res.body = "not found\n";
        return;
    }
    if (!client_known(req)) {
        res.status = 401;
        res.body = "unknown page: say hello first\n";
        return;
    }
    if (!post) {
        if (path == "/api/layout") return reply(layout());
        if (path == "/api/state") return reply(state(req));
        if (path == "/api/scenario") {
            res.headers.emplace_back("Content-Disposition", "attachment; filename=\"cockpit.scn\"");
            return res.set(session->recorded(), "text/plain; charset=utf-8");
        }
        res.status = 405;
        return;
    }
    if (path == "/api/command") {
        if (const std::string w = wrong_field(body, "line", Field::string, true); !w.empty()) return bad(w);
        const std::string line = body["line"];
        std::size_t first = line.find_first_not_of(" \t");
        const bool tick = first != std::string::npos && line.compare(first, 4, "tick") == 0 &&
                          (line.size() == first + 4 || line[first + 4] == ' ' || line[first + 4] == '\t');
        if (line.size() > kMaxLineBytes)
            return reply({{"result", "refused"}, {"output", {"a command line is at most " + std::to_string(kMaxLineBytes) + " bytes"}}});
        if (tick && session->pending_frames() > 0)
            return reply({{"result", "busy"},
                          {"output", {"a tick is running (" + std::to_string(session->pending_frames()) +
                                      " frames to go): Cancel ends it"}}});
        if (tick) tick_held = false;
        json r = run_line(line);
        if (first != std::string::npos && line.compare(first, 8, "picture ") == 0 && r["result"] == "done") {
            const std::size_t name = line.find_first_not_of(" \t", first + 8);
            r["output"].push_back(options.pictures_dir.empty()
                                      ? "no pictures: cockpit-sim serve --pictures DIR writes them"
                                      : "the pictures are in " + options.pictures_dir + "/" + line.substr(name) +
                                            "/ (one PNG per gauge, window_ID.png per panel window)");
        }
        return reply(r);
    }
    if (path == "/api/click") {
        const auto& all = gauges();
        for (const auto& [name, type, required] : {std::tuple{"gauge", Field::unsigned_integer, true},
                                                   std::tuple{"x", Field::integer, true}, std::tuple{"y", Field::integer, true},
                                                   std::tuple{"button", Field::string, false}})
            if (const std::string w = wrong_field(body, name, type, required); !w.empty()) return bad(w);
        if (body["gauge"].get<std::uint64_t>() >= all.size()) return bad("gauge: from 0 to " + std::to_string(all.size() - 1));
        const std::string b = body.value("button", std::string("left"));
        if (b != "left" && b != "right") return bad("button: left or right");
        const GaugeInfo& g = *all[body["gauge"].get<std::size_t>()];
        const long long x = body["x"], y = body["y"];
        const std::uint32_t button = b == "right" ? kRightSingle : kLeftSingle;
        // The first area under the point that takes this button, as the panel system looks.
        for (std::size_t i = 0; i < g.area_count; ++i) {
            const abi::MOUSERECT& r = g.rects[i + 1];
            const auto& box = r.relative_box;
            if (x < box.x || y < box.y || x >= box.x + box.size_x || y >= box.y + box.size_y) continue;
            if (!(r.mouse_flags & button)) continue;
            json j = run_line("click \"" + std::string(g.name) + "\" " + g.areas[i].name);
            j["area"] = g.areas[i].name;
            j["repeat"] = (r.mouse_flags & abi::MOUSE_DOWN_REPEAT) != 0;
            return reply(j);
        }
        return reply({{"result", "no area"}, {"output", json::array()}});
    }
    // path == "/api/control"
    if (const std::string w = wrong_field(body, "action", Field::string, true); !w.empty()) return bad(w);
    const std::string action = body["action"];
    json extra = json::object();
    if (action == "run") {
        running = true;
        tick_held = false;
    } else if (action == "pause") {
        // A console tick stops too, until Run (a tick typed while paused runs: it was asked for).
        running = false;
        tick_held = session->pending_frames() > 0;
    } else if (action == "step") {
        running = false;
        ++steps;
    } else if (action == "cancel") {
        // The running tick ends where it is, and is kept so.
        extra["cancelled"] = session->cut_tick();
    } else if (action == "speed") {
        if (const std::string w = wrong_field(body, "speed", Field::integer, true); !w.empty()) return bad(w);
        if (std::find(std::begin(kSpeeds), std::end(kSpeeds), body["speed"].get<long long>()) == std::end(kSpeeds))
            return bad("speed: 1, 2, 4 or 8");
        speed = body["speed"];
    } else {
        return bad("action: run, pause, step, cancel, or speed with 1, 2, 4 or 8");
    }
    extra["running"] = running;
    extra["speed"] = speed;
    reply(extra);
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
    }
    s.open_session();
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
        result = s.session->run_script(text, s.options.scenario);
        s.flush();
        for (const std::string& l : s.messages.since(from, LineLog::kKept)) std::fprintf(s.err, "%s\n", l.c_str());
        if (result == kScenarioMalformed || result == kScenarioIoError) return result;
    }
    http::Limits limits;
    limits.max_body_bytes = kMaxBodyBytes;
    limits.head_time = std::chrono::seconds(kHeadSeconds);
    limits.body_time = std::chrono::seconds(kBodySeconds);
    limits.write_time = std::chrono::seconds(kWriteSeconds);
    limits.max_connections = kMaxConnections;
    limits.max_connections_per_address = kMaxConnectionsPerAddress;
    limits.workers = kWorkers;
    s.http = std::make_unique<http::Server>(limits, [&s](const http::Request& req, http::Response& res) { s.handle(req, res); });
    std::string error;
    if (!s.http->listen(s.options.bind, s.options.port, error)) {
        std::fprintf(s.err, "cockpit-sim serve: %s\n", error.c_str());
        s.port = -1;
        return kScenarioIoError;
    }
    s.port = s.http->port();
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

int Server::connections() const { return impl_->http ? impl_->http->connections() : 0; }

void Server::start() {
    Impl& s = *impl_;
    s.http->start();
    s.frames_thread = std::thread([&s] { s.frames_loop(); });
}

long Server::frames_run() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->session ? impl_->session->simulator().frames_run() : 0;
}

void Server::stop() {
    Impl& s = *impl_;
    if (s.stopping.exchange(true)) return;
    if (s.http) s.http->stop();
    if (s.frames_thread.joinable()) s.frames_thread.join();
    std::lock_guard lock(s.mutex);
    if (s.session) s.session->finish();
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
    if (prepared == kScenarioMalformed || prepared == kScenarioIoError || server.port() <= 0)
        return prepared == kScenarioPassed || prepared == kScenarioExpectFailed ? kScenarioIoError : prepared;
    if (options.bind != kLoopback && !is_loopback(options.bind))
        std::fprintf(err, "cockpit-sim serve: listening on %s: any machine that reaches it can drive this cockpit\n",
                     options.bind.c_str());
    server.start();
    std::fprintf(out, "cockpit-sim serve: the live cockpit is at %s (Ctrl-C stops it)\n", server.address().c_str());
    std::fflush(out);
    int signal_number = 0;
    sigwait(&stop_signals, &signal_number);
    server.stop();
    if (signal_number == SIGINT) {
        std::fprintf(out, "cockpit-sim serve: interrupted at frame %ld\n", server.frames_run());
        return kScenarioInterrupted;
    }
    std::fprintf(out, "cockpit-sim serve: stopped\n");
    return prepared;
}

}  // namespace tarvenol::host::serve
