// The live cockpit: `cockpit-sim serve` runs the module in real time behind a local web page that
// draws the panels from the live element state, takes clicks and scenario commands, streams the
// timeline and plays the cockpit's sounds.
//
// The page drives a simulator, so every request is checked before it is answered: the Host header
// must name this server (a page from elsewhere cannot reach it through a name of its own), an
// Origin, where the browser sends one, must be this server's, and a request that changes anything
// (POST) must carry one; bodies are bounded, and so are the clients (pages) at once. Every command
// from the page runs as a scenario line through the scenario parser, with the same errors.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tarvenol::host::serve {

constexpr int kDefaultPort = 8418;
constexpr const char* kLoopback = "127.0.0.1";
// Pages (clients) at once: a client holds its place while it keeps asking for the state.
constexpr int kMaxClients = 4;
constexpr int kClientForgottenAfterSeconds = 10;
// The largest request body (a command line, a click) and the longest command line.
constexpr std::size_t kMaxBodyBytes = 16 * 1024;
constexpr std::size_t kMaxLineBytes = 4096;
// The connections: a request's head must come whole within kHeadSeconds of the connection (or of
// the answer before it on a kept-alive one), its body within kBodySeconds, and an answer be read
// within kWriteSeconds; connections at once in all and from one address (the one waiting longest
// for its request makes way for a new one); requests are answered by kWorkers threads, which no
// connection holds while it is slow.
constexpr int kHeadSeconds = 5;
constexpr int kBodySeconds = 10;
constexpr int kWriteSeconds = 10;
constexpr int kMaxConnections = 128;
constexpr int kMaxConnectionsPerAddress = 96;
constexpr int kWorkers = 6;
// Real time: 18 frames a second, at x1, x2, x4 or x8.
constexpr int kSpeeds[] = {1, 2, 4, 8};

struct ServeOptions {
    std::string scenario;                  // run first (empty: none)
    std::string bind = kLoopback;          // address listened on
    int port = kDefaultPort;               // 0: any free port
    std::string trace_path;                // the timeline as CSV, as `run --trace` writes it
    std::vector<std::string> allow_hosts;  // names the page may be reached by, besides the address
    bool paused = false;                   // start paused
    std::string pictures_dir;              // where the console's picture commands write (empty: nowhere)
};

// --- The request checks --------------------------------------------------------------------------

// The host[:port] names this server answers to: the address listened on, and for a loopback
// address also localhost (and [::1] on IPv6), each with the port; plus the names allowed.
std::vector<std::string> served_authorities(const std::string& bind, int port, const std::vector<std::string>& allowed);

struct RequestFacts {
    std::string_view method;     // GET, POST, ...
    std::string_view host;       // the Host header ("" when absent)
    std::string_view origin;     // the Origin header ("" when absent)
    std::string_view fetch_site; // the Sec-Fetch-Site header ("" when absent)
};
// Empty when the request may be answered; otherwise why it is refused.
std::string refusal(const RequestFacts& request, const std::vector<std::string>& authorities);

// --- The server ----------------------------------------------------------------------------------

class Server {
public:
    Server(ServeOptions options, std::FILE* err);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Runs the scenario given (kScenarioMalformed on a malformed one: nothing serves), opens the
    // trace and binds the address. A scenario code (0, 1 for an expect that did not hold, 2, 3).
    int prepare();
    int port() const;
    std::string address() const;  // http://HOST:PORT/
    int connections() const;      // open now
    // Serves and runs the frames, each on a thread of its own, until stop().
    void start();
    void stop();
    // Frames the cockpit has run so far.
    long frames_run() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// `cockpit-sim serve`: prepares, prints the address on out, serves until SIGINT or SIGTERM.
int serve_main(const ServeOptions& options, std::FILE* out, std::FILE* err);
// Whether this build has the live cockpit (it needs cpp-httplib, nlohmann-json and cairo).
bool serve_supported();

}  // namespace tarvenol::host::serve
