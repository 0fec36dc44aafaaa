// The live cockpit's HTTP/1.1 server: one thread reads every connection as its bytes come (poll), a
// few workers answer the requests that arrived whole, and the same thread writes the answers. A
// connection that is slow to send its request or to read its answer costs a socket and a buffer,
// never a worker: the page stays reachable while other local programs hold connections open.
//
// Bounds: the request head in time and size, the body in time and size (whatever its framing: a
// length, chunks; a POST without either is refused), the connections in all and per client address
// (the one waiting longest for its request makes way for a new one), the requests per connection.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvenol::host::serve::http {

struct Limits {
    std::size_t max_head_bytes = 8192;
    std::size_t max_body_bytes = 16 * 1024;
    std::chrono::milliseconds head_time{5000};   // from the connection (or the last answer) to the whole head
    std::chrono::milliseconds body_time{10000};  // from the head to the whole body
    std::chrono::milliseconds write_time{10000}; // to write an answer
    int max_connections = 128;
    int max_connections_per_address = 96;
    int max_requests_per_connection = 1000;
    int workers = 6;
};

struct Request {
    std::string method, target, path, query, version;
    std::vector<std::pair<std::string, std::string>> headers;  // names in lower case
    std::vector<std::pair<std::string, std::string>> params;   // the query, decoded
    std::string body;
    std::string peer;  // the client's address
    // The header's value ("" when absent).
    std::string header(std::string_view lower_case_name) const;
    // The query parameter's values, in order.
    std::vector<std::string> param_values(std::string_view name) const;
};

struct Response {
    int status = 200;
    std::string body;
    std::string type = "text/plain; charset=utf-8";
    std::vector<std::pair<std::string, std::string>> headers;
    void set(std::string b, std::string t) {
        body = std::move(b);
        type = std::move(t);
    }
};

using Handler = std::function<void(const Request&, Response&)>;

// The reason phrase of a status.
const char* reason(int status);

class Server {
public:
    Server(Limits limits, Handler handler);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Binds and listens (never sharing the port with another listener); port 0: any free port.
    // False with why in error ("port N is in use", ...).
    bool listen(const std::string& address, int port, std::string& error);
    int port() const;
    void start();
    void stop();
    // Connections open now (for the tests and the bounds).
    int connections() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tarvenol::host::serve::http
