// The live cockpit's server: which requests it answers (Host, Origin, the site a request comes from),
// its bounds (body size, line length, pages at once), and what it does with the clicks, commands and
// controls of its page, over loopback.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "host/scenario.h"
#include "host/serve/server.h"
#include "module/cockpit_layout.h"
#include "module/module_state.h"

namespace tarvenol::host::serve {
namespace {

using json = nlohmann::json;

// --- Which requests are answered -------------------------------------------------------------------

TEST(RequestChecks, only_this_servers_names_and_page_are_answered) {
    const auto names = served_authorities("127.0.0.1", 8418, {});
    struct Case {
        const char* method;
        const char* host;
        const char* origin;
        const char* site;
        bool answered;
    };
    const Case cases[] = {
        {"GET", "127.0.0.1:8418", "", "", true},                       // typed in the address bar, curl
        {"GET", "localhost:8418", "", "none", true},
        {"GET", "LOCALHOST:8418", "", "", true},                       // names compare without case
        {"POST", "127.0.0.1:8418", "http://127.0.0.1:8418", "same-origin", true},
        {"POST", "localhost:8418", "http://localhost:8418", "", true},
        {"GET", "", "", "", false},                                    // no Host
        {"GET", "127.0.0.1:8419", "", "", false},                      // another port
        {"GET", "attacker.example:8418", "", "", false},               // a rebound DNS name
        {"GET", "127.0.0.1:8418", "http://attacker.example", "", false},
        {"GET", "127.0.0.1:8418", "null", "", false},                  // a sandboxed or file page
        {"POST", "127.0.0.1:8418", "", "", false},                     // acting without a page
        {"POST", "127.0.0.1:8418", "https://127.0.0.1:8418", "", false},
        {"POST", "127.0.0.1:8418", "http://127.0.0.1:8418.attacker.example", "", false},
        {"POST", "127.0.0.1:8418", "http://127.0.0.1:8419", "", false},
        {"GET", "127.0.0.1:8418", "", "cross-site", false},            // an image or script of another site
        {"GET", "127.0.0.1:8418", "", "same-site", false},
    };
    for (const Case& c : cases) {
        const std::string why = refusal({c.method, c.host, c.origin, c.site}, names);
        EXPECT_EQ(why.empty(), c.answered) << c.method << " Host " << c.host << " Origin " << c.origin << " Sec-Fetch-Site "
                                           << c.site << ": " << why;
    }
}

TEST(RequestChecks, the_names_served_follow_the_address_listened_on) {
    EXPECT_EQ(served_authorities("127.0.0.1", 80, {}), (std::vector<std::string>{"127.0.0.1:80", "localhost:80"}));
    EXPECT_EQ(served_authorities("::1", 9000, {}), (std::vector<std::string>{"[::1]:9000", "localhost:9000"}));
    // Every address: the page is opened here by a loopback name, never by the wildcard.
    EXPECT_EQ(served_authorities("0.0.0.0", 9000, {}),
              (std::vector<std::string>{"127.0.0.1:9000", "[::1]:9000", "localhost:9000"}));
    // Another address: only that address, and the names allowed by hand.
    EXPECT_EQ(served_authorities("192.0.2.7", 9000, {"Cockpit.lan"}),
              (std::vector<std::string>{"192.0.2.7:9000", "cockpit.lan:9000"}));
    // localhost: every loopback name of this machine.
    EXPECT_EQ(served_authorities("localhost", 9000, {}),
              (std::vector<std::string>{"127.0.0.1:9000", "[::1]:9000", "localhost:9000"}));
}

// A port already listened on is refused, with what is wrong, and nothing starts: two cockpits never
// split one address's requests between them.
TEST(Listening, a_second_server_on_a_port_in_use_is_refused) {
    ServeOptions first;
    first.port = 0;
    first.paused = true;
    Server one(first, stderr);
    ASSERT_EQ(one.prepare(), kScenarioPassed);
    one.start();
    ServeOptions second = first;
    second.port = one.port();
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    EXPECT_NE(serve_main(second, out, err), 0);
    std::rewind(err);
    char message[256] = {};
    ASSERT_TRUE(std::fgets(message, sizeof message, err));
    EXPECT_EQ(std::string(message), "cockpit-sim serve: port " + std::to_string(one.port()) + " is in use\n");
    std::rewind(out);
    EXPECT_EQ(std::fgetc(out), EOF) << "no address printed";
    std::fclose(out);
    std::fclose(err);
}

// --- A server over loopback --------------------------------------------------------------------------

// A bare connection to the server, for clients that misbehave.
int connect_to(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

// What the server answers on a bare connection, until it closes it or a while passes.
std::string answer_on(int fd, int most_ms = 3000) {
    std::string got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(most_ms);
    while (std::chrono::steady_clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        char b[4096];
        const ssize_t n = ::recv(fd, b, sizeof b, 0);
        if (n <= 0) break;
        got.append(b, static_cast<std::size_t>(n));
    }
    return got;
}

// This process's resident memory, in kB.
long resident_kb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

long long ms_since(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t).count();
}

// Any free port, paused: frames run only when a test steps them.
ServeOptions paused_on_any_port(const std::string& scenario = {}) {
    ServeOptions o;
    o.port = 0;
    o.paused = true;
    o.scenario = scenario;
    return o;
}

// The scenario given to serve runs first, its frames at full speed, and is where the recording starts;
// a malformed one serves nothing.
TEST(StartingScenario, runs_first_and_begins_the_recording_and_a_malformed_one_serves_nothing) {
    const auto write = [](const std::string& path, const char* text) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(f);
        std::fputs(text, f);
        std::fclose(f);
    };
    const std::string start = ::testing::TempDir() + "serve_start.scn";
    const std::string malformed = ::testing::TempDir() + "serve_malformed.scn";
    write(start, "sim on_ground 0\ntick 36\nexpect batt_bus_powered == 1\n");  // loaded in flight: powered
    write(malformed, "sim on_ground 1\ntick lots\n");
    {
        Server server(paused_on_any_port(malformed), stderr);
        EXPECT_EQ(server.prepare(), kScenarioMalformed);
        EXPECT_LE(server.port(), 0) << "nothing listens";
    }
    Server server(paused_on_any_port(start), stderr);
    ASSERT_EQ(server.prepare(), kScenarioPassed);
    server.start();
    httplib::Client c("127.0.0.1", server.port());
    const std::string origin = "http://127.0.0.1:" + std::to_string(server.port());
    auto hello = c.Post("/api/hello", {{"Origin", origin}}, "{}", "application/json");
    ASSERT_TRUE(hello && hello->status == 200);
    const std::string client = json::parse(hello->body)["client"];
    auto st = c.Get("/api/state", {{"X-Cockpit-Client", client}});
    ASSERT_TRUE(st);
    EXPECT_EQ(json::parse(st->body)["frame"], 36);
    auto scn = c.Get("/api/scenario", {{"X-Cockpit-Client", client}});
    ASSERT_TRUE(scn);
    EXPECT_NE(scn->body.find("\nsim on_ground 0\ntick 36\nexpect batt_bus_powered == 1\n"), std::string::npos) << scn->body;
}

class LiveServer : public ::testing::Test {
protected:
    void SetUp() override {
        server_ = std::make_unique<Server>(paused_on_any_port(), stderr);
        ASSERT_EQ(server_->prepare(), kScenarioPassed);
        server_->start();
        origin_ = "http://127.0.0.1:" + std::to_string(server_->port());
        client_ = hello();
        ASSERT_FALSE(client_.empty());
    }
    void TearDown() override { server_.reset(); }

    httplib::Client http() const {
        httplib::Client c("127.0.0.1", server_->port());
        c.set_read_timeout(10);
        return c;
    }
    std::string hello() const {
        auto r = http().Post("/api/hello", {{"Origin", origin_}}, "{}", "application/json");
        if (!r || r->status != 200) return {};
        return json::parse(r->body)["client"];
    }
    httplib::Result post(const std::string& path, const json& body) const {
        return http().Post(path, {{"Origin", origin_}, {"X-Cockpit-Client", client_}}, body.dump(), "application/json");
    }
    json state() const {
        auto r = http().Get("/api/state", {{"X-Cockpit-Client", client_}});
        EXPECT_TRUE(r && r->status == 200);
        return r ? json::parse(r->body) : json{};
    }
    std::string recorded() const {
        auto r = http().Get("/api/scenario", {{"X-Cockpit-Client", client_}});
        return r ? r->body : std::string();
    }
    // Waits until the frame count reaches n (the frames thread steps on its own time).
    bool frame_reaches(long n) const {
        for (int i = 0; i < 200; ++i) {
            if (state()["frame"].get<long>() >= n) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    std::unique_ptr<Server> server_;
    std::string origin_;
    std::string client_;
};

TEST_F(LiveServer, serves_its_page_and_the_pictures_and_sounds_of_the_cockpit) {
    auto page = http().Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("<script src=\"cockpit.js\""), std::string::npos);
    auto picture = http().Get("/gauge/1.png");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->status, 200);
    EXPECT_EQ(picture->body.substr(1, 3), "PNG");
    auto click = http().Get("/sounds/CLICK.wav");
    ASSERT_TRUE(click);
    EXPECT_EQ(click->status, 200);
    EXPECT_EQ(click->body.substr(0, 4), "RIFF");
    for (const char* missing : {"/gauge/100000.png", "/sounds/NOSUCH.wav", "/../../etc/passwd", "/server.cpp"}) {
        auto r = http().Get(missing);
        ASSERT_TRUE(r) << missing;
        EXPECT_TRUE(r->status == 404 || r->status == 400) << missing << ": " << r->status;
    }
}

TEST_F(LiveServer, a_foreign_page_cannot_drive_the_cockpit) {
    const std::string line = json{{"line", "click \"tarvenol elec_batt_t418\" batt_1.off"}}.dump();
    const std::string port = std::to_string(server_->port());
    const httplib::Headers attempts[] = {
        {{"Origin", "http://attacker.example"}, {"X-Cockpit-Client", client_}},
        {{"X-Cockpit-Client", client_}},  // no Origin
        {{"Host", "attacker.example:" + port}, {"Origin", "http://attacker.example:" + port}, {"X-Cockpit-Client", client_}},
        {{"Origin", origin_}, {"Sec-Fetch-Site", "cross-site"}, {"X-Cockpit-Client", client_}},
    };
    const std::string before = recorded();
    for (const httplib::Headers& h : attempts) {
        auto r = http().Post("/api/command", h, line, "application/json");
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 403) << r->body;
    }
    auto foreign_state = http().Get("/api/state", {{"Origin", "http://attacker.example"}, {"X-Cockpit-Client", client_}});
    ASSERT_TRUE(foreign_state);
    EXPECT_EQ(foreign_state->status, 403);
    EXPECT_EQ(recorded(), before);
}

TEST_F(LiveServer, requests_and_pages_are_bounded) {
    // A page that did not say hello is not answered.
    auto unknown = http().Post("/api/command", {{"Origin", origin_}, {"X-Cockpit-Client", "0123456789abcdef"}},
                               R"({"line":"tick"})", "application/json");
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->status, 401);
    // A body above the bound is refused before it is read whole.
    auto huge = post("/api/command", json{{"line", std::string(kMaxBodyBytes + 1, 'x')}});
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->status, 413);
    // A command line above its bound is refused, not parsed.
    auto longline = post("/api/command", json{{"line", "print " + std::string(kMaxLineBytes, 'x')}});
    ASSERT_TRUE(longline);
    EXPECT_EQ(json::parse(longline->body)["result"], "refused");
    // Not JSON, or not what the command takes.
    auto garbage = http().Post("/api/command", {{"Origin", origin_}, {"X-Cockpit-Client", client_}}, "{line", "application/json");
    ASSERT_TRUE(garbage);
    EXPECT_EQ(garbage->status, 400);
    // One page is open; the pages after the bound are turned away.
    for (int i = 1; i < kMaxClients; ++i) EXPECT_FALSE(hello().empty()) << i;
    auto one_too_many = http().Post("/api/hello", {{"Origin", origin_}}, "{}", "application/json");
    ASSERT_TRUE(one_too_many);
    EXPECT_EQ(one_too_many->status, 503);
}

// Other local programs holding connections open (a header byte every 2 s, or nothing at all) cost the
// server a socket each, never a worker: the page is answered within a second all the while.
TEST_F(LiveServer, slow_and_idle_connections_do_not_keep_the_page_out) {
    constexpr int kSlow = 40;
    constexpr int kIdle = 200;
    constexpr auto kSlowFor = std::chrono::seconds(10);
    constexpr long long kAnsweredWithinMs = 1000;
    const int port = server_->port();
    std::atomic<bool> done{false};
    std::atomic<int> reconnected{0};
    std::thread slow([&] {
        const std::string head = "GET / HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\nX-Slow: ";
        std::vector<int> fds(kSlow, -1);
        std::vector<std::size_t> at(kSlow, 0);
        while (!done) {
            for (int i = 0; i < kSlow; ++i) {
                // Cut off (the server answered 408 and closed): a new connection, as a persistent client would.
                pollfd p{fds[i], POLLIN, 0};
                if (fds[i] >= 0 && ::poll(&p, 1, 0) > 0) {
                    ::close(fds[i]);
                    fds[i] = -1;
                }
                if (fds[i] < 0) {
                    fds[i] = connect_to(port);
                    at[i] = 0;
                    ++reconnected;
                }
                const char c = at[i] < head.size() ? head[at[i]] : 'x';
                if (fds[i] >= 0 && ::send(fds[i], &c, 1, MSG_NOSIGNAL) == 1) {
                    ++at[i];
                } else if (fds[i] >= 0) {
                    ::close(fds[i]);
                    fds[i] = -1;
                }
            }
            for (int t = 0; t < 20 && !done; ++t) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        for (int fd : fds)
            if (fd >= 0) ::close(fd);
    });
    long long slowest = 0;
    int answered = 0;
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < kSlowFor) {
        const auto t = std::chrono::steady_clock::now();
        auto page = http().Get("/");
        const bool state_ok = state().contains("frame");
        slowest = std::max(slowest, ms_since(t));
        answered += page && page->status == 200 && state_ok;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    done = true;
    slow.join();
    std::printf("%d slow connections for 10 s (%d connects): page and state answered %d times, the slowest in %lld ms\n",
                kSlow, reconnected.load(), answered, slowest);
    EXPECT_GE(answered, 20);
    EXPECT_LT(slowest, kAnsweredWithinMs);
    EXPECT_GT(reconnected.load(), kSlow) << "a head that comes too slowly is cut off";

    std::vector<int> idle;
    for (int i = 0; i < kIdle; ++i) idle.push_back(connect_to(port));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto t = std::chrono::steady_clock::now();
    auto page = http().Get("/");
    const long long idle_ms = ms_since(t);
    std::printf("%d idle connections: the page answered in %lld ms, %d connections kept\n", kIdle, idle_ms,
                server_->connections());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_LT(idle_ms, kAnsweredWithinMs);
    EXPECT_LE(server_->connections(), kMaxConnections);
    for (int fd : idle)
        if (fd >= 0) ::close(fd);
}

// The body bound holds for chunks and for a body without a length, without reading it into memory;
// a field of the wrong type is named.
TEST_F(LiveServer, bodies_are_bounded_whatever_their_framing_and_wrong_fields_are_named) {
    const int port = server_->port();
    const std::string head = "POST /api/command HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) + "\r\nOrigin: " + origin_ +
                             "\r\nX-Cockpit-Client: " + client_ + "\r\nContent-Type: application/json\r\n";
    const long before_kb = resident_kb();
    const int fd = connect_to(port);
    ASSERT_GE(fd, 0);
    timeval two_seconds{2, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &two_seconds, sizeof two_seconds);
    const std::string chunked = head + "Transfer-Encoding: chunked\r\n\r\n";
    ASSERT_EQ(::send(fd, chunked.data(), chunked.size(), MSG_NOSIGNAL), static_cast<ssize_t>(chunked.size()));
    const std::string chunk = "1000\r\n" + std::string(4096, 'x') + "\r\n";
    std::size_t sent = 0;
    for (int i = 0; i < 256 && ::send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(chunk.size()); ++i)
        sent += 4096;
    const std::string refused = answer_on(fd);
    ::close(fd);
    const long after_kb = resident_kb();
    std::printf("a 1 MB chunked body (%zu bytes sent): %s; resident memory %ld kB before, %ld kB after\n", sent,
                refused.substr(0, refused.find('\r')).c_str(), before_kb, after_kb);
    EXPECT_EQ(refused.rfind("HTTP/1.1 413", 0), 0u) << refused;
    EXPECT_LT(after_kb - before_kb, 4096) << "the body is not kept";

    const int no_length = connect_to(port);
    const std::string without = head + "Connection: close\r\n\r\n{\"line\":\"" + std::string(64 * 1024, 'x');
    ::send(no_length, without.data(), without.size(), MSG_NOSIGNAL);
    const std::string length_required = answer_on(no_length);
    ::close(no_length);
    EXPECT_EQ(length_required.rfind("HTTP/1.1 411", 0), 0u) << length_required.substr(0, 80);

    struct Case {
        const char* path;
        json body;
        const char* named;
    };
    const Case cases[] = {
        {"/api/command", {{"line", 5}}, "line: a string expected"},
        {"/api/command", json::object(), "line: missing"},
        {"/api/click", {{"gauge", "1"}, {"x", 1}, {"y", 1}}, "gauge:"},
        {"/api/click", {{"gauge", -1}, {"x", 1}, {"y", 1}}, "gauge:"},
        {"/api/click", {{"gauge", 1}, {"x", 1.5}, {"y", 1}}, "x: a whole number expected"},
        {"/api/click", {{"gauge", 1}, {"x", 1}, {"y", 1}, {"button", 3}}, "button: a string expected"},
        {"/api/control", {{"action", true}}, "action: a string expected"},
        {"/api/control", {{"action", "speed"}, {"speed", "8"}}, "speed: a whole number expected"},
        {"/api/hello", {{"client", 7}}, "client: a string expected"},
    };
    for (const Case& c : cases) {
        auto r = post(c.path, c.body);
        ASSERT_TRUE(r) << c.path;
        EXPECT_EQ(r->status, 400) << c.path << " " << c.body.dump();
        EXPECT_NE(r->body.find(c.named), std::string::npos) << c.path << " " << c.body.dump() << ": " << r->body;
    }
}

// A long tick from the console runs in slices: other commands answer between them (and are kept
// there in the recording), a second tick is told to wait, Pause holds it and Cancel ends it.
TEST_F(LiveServer, a_long_console_tick_lets_commands_pause_and_cancel_in) {
    const auto command = [this](const std::string& line) { return json::parse(post("/api/command", json{{"line", line}})->body); };
    ASSERT_EQ(command("tick 100000")["result"], "done");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const json first = state();
    const auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    const auto t = std::chrono::steady_clock::now();
    const json printed = command("print batt_1_sw");
    const long long print_ms = ms_since(t);
    const json second = state();
    const double rate = (second["frame"].get<double>() - first["frame"].get<double>()) / (ms_since(t0) / 1000.0);
    std::printf("tick 100000 from the console: %.0f frames/s; a print answered meanwhile in %lld ms\n", rate, print_ms);
    EXPECT_EQ(printed["result"], "done");
    EXPECT_EQ(printed["output"][0].get<std::string>().rfind("console:2: batt_1_sw = ", 0), 0u) << printed.dump();
    EXPECT_LT(print_ms, 1000);
    EXPECT_GT(second["pending"].get<long>(), 0);
    EXPECT_LT(second["pending"].get<long>(), first["pending"].get<long>()) << "the tick goes on";
    EXPECT_GE(second["tick"].get<long>(), second["pending"].get<long>()) << "the frames of the tick running now";
    EXPECT_EQ(command("tick 5")["result"], "busy");

    ASSERT_EQ(post("/api/control", {{"action", "pause"}})->status, 200);
    const long held = state()["pending"];
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(state()["pending"].get<long>(), held) << "Pause holds the tick";
    ASSERT_EQ(post("/api/control", {{"action", "run"}})->status, 200);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LT(state()["pending"].get<long>(), held) << "Run lets it go on";
    ASSERT_EQ(post("/api/control", {{"action", "pause"}})->status, 200);
    const json cancelled = json::parse(post("/api/control", {{"action", "cancel"}})->body);
    EXPECT_GT(cancelled["cancelled"].get<long>(), 0);
    const json after = state();
    EXPECT_EQ(after["pending"], 0);
    EXPECT_LT(after["frame"].get<long>(), 100000);
    // The recording: the frames that ran, the print where it came, the frames after it, cut where cancelled.
    const std::string scn = recorded();
    long ticks = 0;
    int tick_lines = 0;
    for (std::size_t at = scn.find("\ntick "); at != std::string::npos; at = scn.find("\ntick ", at + 1)) {
        ticks += std::stol(scn.substr(at + 6));
        ++tick_lines;
    }
    EXPECT_EQ(ticks, after["frame"].get<long>()) << scn;
    EXPECT_EQ(tick_lines, 2) << scn;
    EXPECT_NE(scn.find("\nprint batt_1_sw\ntick "), std::string::npos) << scn;
}

TEST_F(LiveServer, commands_run_as_scenario_lines_with_the_parsers_messages) {
    auto ok = post("/api/command", json{{"line", "set batt_1_sw 0"}});
    ASSERT_TRUE(ok);
    EXPECT_EQ(json::parse(ok->body)["result"], "done");
    auto printed = json::parse(post("/api/command", json{{"line", "print batt_1_sw"}})->body);
    EXPECT_EQ(printed["output"][0].get<std::string>().rfind("console:2: batt_1_sw = ", 0), 0u) << printed.dump();
    auto malformed = json::parse(post("/api/command", json{{"line", "set batt_1_sw 300"}})->body);
    EXPECT_EQ(malformed["result"], "malformed");
    EXPECT_EQ(malformed["output"][0],
              "console:3: malformed line: batt_1_sw is u8, a whole number from 0 to 255: not 300");
    auto failed = json::parse(post("/api/command", json{{"line", "expect batt_1_sw == 1"}})->body);
    EXPECT_EQ(failed["result"], "expect failed");
    // A picture command says where its pictures went (here: nowhere, no folder was given).
    auto picture = json::parse(post("/api/command", json{{"line", "picture now"}})->body);
    EXPECT_EQ(picture["output"].back(), "no pictures: cockpit-sim serve --pictures DIR writes them") << picture.dump();
    const std::string scn = recorded();
    EXPECT_NE(scn.find("\nset batt_1_sw 0\nprint batt_1_sw\n# expect batt_1_sw == 1"), std::string::npos) << scn;
    EXPECT_EQ(scn.find("300"), std::string::npos) << scn;
}

TEST_F(LiveServer, a_click_on_a_drawn_switch_is_a_click_on_its_area) {
    // The first frame sets the cockpit up as loaded; the crew's clicks come after it.
    ASSERT_EQ(post("/api/control", {{"action", "step"}})->status, 200);
    ASSERT_TRUE(frame_reaches(1));
    auto layout = json::parse(http().Get("/api/layout", {{"X-Cockpit-Client", client_}})->body);
    // The battery panel and its BAT 1 ON area, where the page draws them.
    json batteries, on;
    for (const json& w : layout["windows"])
        for (const json& g : w["gauges"])
            if (g["name"] == "tarvenol elec_batt_t418") batteries = g;
    ASSERT_TRUE(batteries.is_object());
    for (const json& a : batteries["areas"])
        if (a["name"] == "batt_1.on") on = a;
    ASSERT_TRUE(on.is_object());
    const int x = on["x"].get<int>() + on["w"].get<int>() / 2, y = on["y"].get<int>() + on["h"].get<int>() / 2;

    auto right = json::parse(post("/api/click", {{"gauge", batteries["index"]}, {"x", x}, {"y", y}, {"button", "right"}})->body);
    EXPECT_EQ(right["result"], "no area") << "the cockpit's areas take the left button only";
    auto left = json::parse(post("/api/click", {{"gauge", batteries["index"]}, {"x", x}, {"y", y}})->body);
    EXPECT_EQ(left["result"], "done");
    EXPECT_EQ(left["area"], "batt_1.on");
    auto outside = json::parse(post("/api/click", {{"gauge", batteries["index"]}, {"x", -5}, {"y", y}})->body);
    EXPECT_EQ(outside["result"], "no area");
    auto nowhere = post("/api/click", {{"gauge", 100000}, {"x", x}, {"y", y}});
    EXPECT_EQ(nowhere->status, 400);

    EXPECT_NE(recorded().find("\nclick \"tarvenol elec_batt_t418\" batt_1.on\n"), std::string::npos) << recorded();
    // The switch moves in the next frame, and the page's sound stream has the click in it.
    ASSERT_EQ(post("/api/control", {{"action", "step"}})->status, 200);
    ASSERT_TRUE(frame_reaches(2));
    auto watched = http().Get("/api/state?w=batt_1_sw", {{"X-Cockpit-Client", client_}});
    const json st = json::parse(watched->body);
    EXPECT_EQ(st["watch"][0]["value"], 2);
    bool clicked = false;
    for (const json& e : st["sounds"]["events"]) clicked |= e["name"] == "CLICK" && e["kind"] == "play once";
    EXPECT_TRUE(clicked) << st["sounds"].dump();

    // A page opened now hears only what is asked for from now on, and which loops are on.
    auto late = http().Post("/api/hello", {{"Origin", origin_}}, "{}", "application/json");
    ASSERT_TRUE(late && late->status == 200);
    const json joined = json::parse(late->body);
    EXPECT_TRUE(joined["sounds"]["looping"].is_array());
    const std::string since = "/api/state?s=" + std::to_string(joined["sounds"]["next"].get<std::uint64_t>());
    const json later = json::parse(http().Get(since, {{"X-Cockpit-Client", joined["client"].get<std::string>()}})->body);
    EXPECT_TRUE(later["sounds"]["events"].empty()) << later["sounds"].dump();
    // A page that had a place takes the same one back (a reload), even with every place taken.
    for (int i = 2; i < kMaxClients; ++i) EXPECT_FALSE(hello().empty());
    auto again = http().Post("/api/hello", {{"Origin", origin_}}, json{{"client", client_}}.dump(), "application/json");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 200);
    EXPECT_EQ(json::parse(again->body)["client"], client_);
}

// The page draws the cockpit layout: every window at its size with where it opens, every gauge
// once, at its place, with its picture's size.
TEST_F(LiveServer, the_page_is_given_the_cockpit_layout) {
    auto layout = json::parse(http().Get("/api/layout", {{"X-Cockpit-Client", client_}})->body);
    const auto declared = cockpit::windows();
    ASSERT_EQ(layout["windows"].size(), declared.size());
    std::vector<int> seen(gauges().size(), 0);
    for (std::size_t i = 0; i < declared.size(); ++i) {
        const json& w = layout["windows"][i];
        EXPECT_EQ(w["id"], declared[i].id);
        EXPECT_EQ(w["w"], declared[i].w_mm * cockpit::kPixelsPerMm);
        EXPECT_EQ(w["h"], declared[i].h_mm * cockpit::kPixelsPerMm);
        EXPECT_EQ(w["opens"], static_cast<int>(declared[i].opens));
        for (const json& g : w["gauges"]) {
            const int index = g["index"].get<int>();
            ASSERT_TRUE(index >= 0 && index < static_cast<int>(seen.size()));
            ++seen[index];
            const cockpit::Place* place = cockpit::place_of(index);
            ASSERT_NE(place, nullptr);
            EXPECT_EQ(place->window, declared[i].id) << g["name"];
            EXPECT_EQ(g["x"], place->x_mm * cockpit::kPixelsPerMm) << g["name"];
            EXPECT_EQ(g["y"], place->y_mm * cockpit::kPixelsPerMm) << g["name"];
            EXPECT_EQ(g["w"], gauges()[index]->size->w) << g["name"];
            EXPECT_EQ(g["h"], gauges()[index]->size->h) << g["name"];
        }
    }
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], 1) << gauges()[i]->name;
}

TEST_F(LiveServer, with_the_flight_model_on_the_aircraft_flies_from_the_console) {
    for (const char* line : {"flight on", "flight approach 9000 250 1200 140 10"})
        EXPECT_EQ(json::parse(post("/api/command", json{{"line", line}})->body)["result"], "done") << line;
    const auto watched = [this] {
        auto r = http().Get("/api/state?w=flight:past_threshold_m&w=sim:altitude_m&w=sim:ias_kt",
                            {{"X-Cockpit-Client", client_}});
        EXPECT_TRUE(r && r->status == 200);
        std::vector<double> values;
        const json st = r ? json::parse(r->body) : json{};
        for (const json& w : st["watch"]) {
            EXPECT_TRUE(w.contains("value")) << w.dump();
            if (w.contains("value")) values.push_back(w["value"].get<double>());
        }
        return values;
    };
    const std::vector<double> before = watched();
    ASSERT_EQ(before.size(), 3u);
    EXPECT_EQ(json::parse(post("/api/command", json{{"line", "tick 90"}})->body)["result"], "done");
    ASSERT_TRUE(frame_reaches(90));
    const std::vector<double> after = watched();
    ASSERT_EQ(after.size(), 3u);
    // Five seconds at about 140 kt (72 m/s): some 360 m nearer the threshold, which it is before.
    EXPECT_LT(before[0], -8000.0);
    EXPECT_GT(after[0] - before[0], 300.0);
    EXPECT_LT(after[0] - before[0], 450.0);
    EXPECT_GT(after[2], 100.0) << "the airspeed the instruments show";
}

TEST_F(LiveServer, paused_it_steps_one_frame_at_a_time_and_takes_only_the_speeds_it_has) {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(state()["frame"], 0) << "paused: no frame runs";
    ASSERT_EQ(post("/api/control", {{"action", "step"}})->status, 200);
    ASSERT_EQ(post("/api/control", {{"action", "step"}})->status, 200);
    ASSERT_TRUE(frame_reaches(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(state()["frame"], 2);
    for (int speed : {1, 2, 4, 8}) EXPECT_EQ(post("/api/control", {{"action", "speed"}, {"speed", speed}})->status, 200);
    EXPECT_EQ(state()["speed"], 8);
    for (const json& wrong : {json{{"action", "speed"}, {"speed", 3}}, json{{"action", "speed"}, {"speed", "8"}},
                              json{{"action", "faster"}}})
        EXPECT_EQ(post("/api/control", wrong)->status, 400) << wrong.dump();
    // Running at x8 for a while: frames go on.
    ASSERT_EQ(post("/api/control", {{"action", "run"}})->status, 200);
    EXPECT_TRUE(frame_reaches(20));
}

// A page open at x1 that fetches every picture that changed, ten times a second, while the aircraft
// flies an approach (the instruments move every frame): the simulated clock keeps real time.
TEST(RealTime, with_a_page_open_the_simulated_clock_keeps_real_time) {
    constexpr auto kFor = std::chrono::seconds(30);
    constexpr double kWithin = 0.02;
    ServeOptions o;
    o.port = 0;
    Server server(o, stderr);
    ASSERT_EQ(server.prepare(), kScenarioPassed);
    server.start();
    httplib::Client c("127.0.0.1", server.port());
    c.set_read_timeout(10);
    const std::string origin = "http://127.0.0.1:" + std::to_string(server.port());
    auto hello = c.Post("/api/hello", {{"Origin", origin}}, "{}", "application/json");
    ASSERT_TRUE(hello && hello->status == 200);
    const httplib::Headers page{{"Origin", origin}, {"X-Cockpit-Client", json::parse(hello->body)["client"].get<std::string>()}};
    for (const char* line : {"flight on", "flight approach 9000 250 1200 140 10"})
        ASSERT_TRUE(c.Post("/api/command", page, json{{"line", line}}.dump(), "application/json"));
    std::vector<std::uint32_t> shown;
    long first_frame = -1, frame = 0, pictures = 0;
    auto start = std::chrono::steady_clock::now(), last = start;
    for (auto next = start; std::chrono::steady_clock::now() - start < kFor; next += std::chrono::milliseconds(100)) {
        auto st = c.Get("/api/state", page);
        ASSERT_TRUE(st && st->status == 200);
        const json j = json::parse(st->body);
        last = std::chrono::steady_clock::now();
        frame = j["frame"];
        if (first_frame < 0) {
            first_frame = frame;
            start = last;
        }
        const json& versions = j["versions"];
        shown.resize(versions.size(), 0);
        for (std::size_t i = 0; i < versions.size(); ++i) {
            if (versions[i].get<std::uint32_t>() == shown[i]) continue;
            shown[i] = versions[i];
            auto png = c.Get("/gauge/" + std::to_string(i) + ".png", page);
            pictures += png && png->status == 200;
        }
        std::this_thread::sleep_until(next + std::chrono::milliseconds(100));
    }
    const double real_s = std::chrono::duration<double>(last - start).count();
    const double simulated_s = static_cast<double>(frame - first_frame) / 18.0;
    std::printf("at x1 with a page open: %.2f s simulated in %.2f s real (%+.2f %%), %ld pictures fetched\n", simulated_s,
                real_s, 100.0 * (simulated_s / real_s - 1.0), pictures);
    EXPECT_NEAR(simulated_s / real_s, 1.0, kWithin);
    EXPECT_GT(pictures, 300) << "the page fetched the pictures as they changed";
}

}  // namespace
}  // namespace tarvenol::host::serve
