#include "host/serve/http.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace tarvenol::host::serve::http {

using Clock = std::chrono::steady_clock;

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A query component: '+' a blank, %XX a byte.
std::string decode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '+') {
            out += ' ';
        } else if (s[i] == '%' && i + 2 < s.size() && hex_digit(s[i + 1]) >= 0 &&
                   hex_digit(s[i + 2]) >= 0) {
            out += static_cast<char>(hex_digit(s[i + 1]) * 16 + hex_digit(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string peer_of(int fd) {
    sockaddr_storage a{};
    socklen_t n = sizeof a;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&a), &n) != 0) return "?";
    char host[INET6_ADDRSTRLEN] = "?";
    if (a.ss_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(&a)->sin_addr, host, sizeof host);
    else if (a.ss_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6*>(&a)->sin6_addr, host, sizeof host);
    return host;
}

// The bytes of an answer.
std::string serialize(const Response& r, bool head_only, bool close) {
    std::string out = "HTTP/1.1 " + std::to_string(r.status) + " " + reason(r.status) + "\r\n";
    out += "Content-Type: " + r.type + "\r\n";
    out += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
    out += close ? "Connection: close\r\n" : "Connection: keep-alive\r\n";
    for (const auto& [name, value] : r.headers) out += name + ": " + value + "\r\n";
    out += "\r\n";
    if (!head_only) out += r.body;
    return out;
}

// A chunked body, decoded from the bytes read so far.
enum class Chunks { more, done, malformed };
Chunks decode_chunks(const std::string& in, std::string& body, std::size_t& used) {
    constexpr std::size_t kLongestSizeLine = 256;
    body.clear();
    std::size_t at = 0;
    for (;;) {
        const std::size_t eol = in.find("\r\n", at);
        if (eol == std::string::npos) return in.size() - at > kLongestSizeLine ? Chunks::malformed : Chunks::more;
        if (eol - at > kLongestSizeLine) return Chunks::malformed;
        std::string_view line(in.data() + at, eol - at);
        line = line.substr(0, line.find(';'));
        line = trim(line);
        if (line.empty() || line.size() > 8) return Chunks::malformed;
        std::size_t size = 0;
        for (char c : line) {
            const int d = hex_digit(c);
            if (d < 0) return Chunks::malformed;
            size = size * 16 + static_cast<std::size_t>(d);
        }
        at = eol + 2;
        if (size == 0) {
            // Trailers, to the blank line.
            for (;;) {
                const std::size_t end = in.find("\r\n", at);
                if (end == std::string::npos) return Chunks::more;
                const bool blank = end == at;
                at = end + 2;
                if (blank) {
                    used = at;
                    return Chunks::done;
                }
            }
        }
        if (in.size() < at + size + 2) return Chunks::more;
        body.append(in, at, size);
        if (in.compare(at + size, 2, "\r\n") != 0) return Chunks::malformed;
        at += size + 2;
    }
}

}  // namespace

const char* reason(int status) {
    switch (status) {
        case 100: return "Continue";
        case 200: return "OK";
        case 204: return "No Content";
        case 400: return "Bad Request";
        case 401: return "Unauthorized";
        case 403: return "Forbidden";
        case 404: return "Not Found";
        case 405: return "Method Not Allowed";
        case 408: return "Request Timeout";
        case 411: return "Length Required";
        case 413: return "Content Too Large";
        case 431: return "Request Header Fields Too Large";
        case 500: return "Internal Server Error";
        case 501: return "Not Implemented";
        case 503: return "Service Unavailable";
        case 505: return "HTTP Version Not Supported";
        default: return "Status";
    }
}

std::string Request::header(std::string_view name) const {
    for (const auto& [n, v] : headers)
        if (n == name) return v;
    return {};
}

std::vector<std::string> Request::param_values(std::string_view name) const {
    std::vector<std::string> out;
    for (const auto& [n, v] : params)
        if (n == name) out.push_back(v);
    return out;
}

struct Server::Impl {
    enum class Phase { head, body, busy, writing, draining };
    struct Connection {
        std::uint64_t id = 0;
        int fd = -1;
        std::string peer;
        Phase phase = Phase::head;
        std::string in;
        Clock::time_point since;     // waiting for this request since
        Clock::time_point deadline;  // of the phase
        Request request;
        long long length = -1;       // the body's Content-Length; -1: chunked
        std::string out;
        std::size_t out_at = 0;
        bool close_after = false;
        int served = 0;
    };
    struct Job {
        int fd;
        std::uint64_t id;
        Request request;
        bool close;
    };
    struct Done {
        int fd;
        std::uint64_t id;
        std::string bytes;
        bool close;
    };

    Impl(Limits l, Handler h) : limits(l), handler(std::move(h)) {}

    void io_loop();
    void admit(int fd);
    void on_readable(Connection& c);
    void progress(Connection& c);
    bool parse_head(Connection& c, std::string_view head);
    void fail(Connection& c, int status, const std::string& why);
    void dispatch(Connection& c);
    void answered(Connection& c);
    void close(int fd);
    void worker();
    void wake() {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake_fd, &one, sizeof one);
    }

    Limits limits;
    Handler handler;
    int listen_fd = -1;
    int wake_fd = -1;
    int port = 0;
    std::map<int, Connection> conns;  // the IO thread's
    std::uint64_t next_id = 1;
    std::atomic<int> open{0};
    std::atomic<bool> stopping{false};
    std::thread io_thread;
    std::vector<std::thread> workers;
    std::mutex mutex;  // jobs and done
    std::condition_variable work_ready;
    std::deque<Job> jobs;
    std::deque<Done> done;
};

void Server::Impl::close(int fd) {
    ::close(fd);
    conns.erase(fd);
    open = static_cast<int>(conns.size());
}

void Server::Impl::admit(int fd) {
    Connection* oldest_here = nullptr;
    Connection* oldest = nullptr;
    int here = 0;
    const std::string peer = peer_of(fd);
    for (auto& [f, c] : conns) {
        const bool waiting = c.phase == Phase::head || c.phase == Phase::body || c.phase == Phase::draining;
        if (c.peer == peer) {
            ++here;
            if (waiting && (!oldest_here || c.since < oldest_here->since)) oldest_here = &c;
        }
        if (waiting && (!oldest || c.since < oldest->since)) oldest = &c;
    }
    // Full: the connection waiting longest for its request makes way (first from the same address).
    Connection* victim = here >= limits.max_connections_per_address                 ? oldest_here
                         : static_cast<int>(conns.size()) >= limits.max_connections ? oldest
                                                                                    : nullptr;
    const bool full = here >= limits.max_connections_per_address || static_cast<int>(conns.size()) >= limits.max_connections;
    if (full && !victim) {
        ::close(fd);
        return;
    }
    if (victim) close(victim->fd);
    Connection c;
    c.id = next_id++;
    c.fd = fd;
    c.peer = peer;
    c.since = Clock::now();
    c.deadline = c.since + limits.head_time;
    conns[fd] = std::move(c);
    open = static_cast<int>(conns.size());
}

void Server::Impl::fail(Connection& c, int status, const std::string& why) {
    Response r;
    r.status = status;
    r.body = why + "\n";
    c.out = serialize(r, false, true);
    c.out_at = 0;
    c.close_after = true;
    c.phase = Phase::writing;
    c.deadline = Clock::now() + limits.write_time;
    c.in.clear();
}

bool Server::Impl::parse_head(Connection& c, std::string_view head) {
    Request& r = c.request;
    r = Request{};
    r.peer = c.peer;
    std::size_t eol = head.find("\r\n");
    const std::string_view line = head.substr(0, eol);
    const std::size_t sp1 = line.find(' '), sp2 = line.rfind(' ');
    if (sp1 == std::string_view::npos || sp2 == sp1) {
        fail(c, 400, "a request line METHOD TARGET HTTP/1.1 expected");
        return false;
    }
    r.method = std::string(line.substr(0, sp1));
    r.target = std::string(line.substr(sp1 + 1, sp2 - sp1 - 1));
    r.version = std::string(line.substr(sp2 + 1));
    if (r.version != "HTTP/1.1" && r.version != "HTTP/1.0") {
        fail(c, 505, "HTTP/1.1 only");
        return false;
    }
    if (r.target.empty() || r.target[0] != '/') {
        fail(c, 400, "a path expected");
        return false;
    }
    const std::size_t q = r.target.find('?');
    r.path = r.target.substr(0, q);
    if (q != std::string::npos) {
        r.query = r.target.substr(q + 1);
        std::string_view rest = r.query;
        while (!rest.empty()) {
            const std::size_t amp = rest.find('&');
            const std::string_view part = rest.substr(0, amp);
            const std::size_t eq = part.find('=');
            r.params.emplace_back(decode(part.substr(0, eq)), eq == std::string_view::npos ? "" : decode(part.substr(eq + 1)));
            if (amp == std::string_view::npos) break;
            rest.remove_prefix(amp + 1);
        }
    }
    while (eol != std::string_view::npos) {
        const std::size_t start = eol + 2;
        eol = head.find("\r\n", start);
        const std::string_view h = head.substr(start, eol == std::string_view::npos ? std::string_view::npos : eol - start);
        if (h.empty()) continue;
        const std::size_t colon = h.find(':');
        if (colon == std::string_view::npos || colon == 0 || h[0] == ' ' || h[0] == '\t') {
            fail(c, 400, "a header NAME: VALUE expected");
            return false;
        }
        std::string name = lower(h.substr(0, colon));
        if (name.find_first_of(" \t") != std::string::npos) {
            fail(c, 400, "a header NAME: VALUE expected");
            return false;
        }
        if ((name == "host" || name == "content-length" || name == "transfer-encoding") && !r.header(name).empty()) {
            fail(c, 400, "the header " + name + " given twice");
            return false;
        }
        r.headers.emplace_back(std::move(name), std::string(trim(h.substr(colon + 1))));
    }
    const std::string length = r.header("content-length"), encoding = lower(r.header("transfer-encoding"));
    c.length = 0;
    if (!encoding.empty()) {
        if (!length.empty()) {
            fail(c, 400, "both Content-Length and Transfer-Encoding");
            return false;
        }
        if (encoding != "chunked") {
            fail(c, 501, "Transfer-Encoding " + encoding + " is not taken");
            return false;
        }
        c.length = -1;
    } else if (!length.empty()) {
        if (length.size() > 12 || !std::all_of(length.begin(), length.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
            fail(c, 400, "a Content-Length of digits expected");
            return false;
        }
        c.length = std::stoll(length);
        if (static_cast<unsigned long long>(c.length) > limits.max_body_bytes) {
            fail(c, 413, "a request body is at most " + std::to_string(limits.max_body_bytes) + " bytes");
            return false;
        }
    } else if (r.method == "POST" || r.method == "PUT" || r.method == "PATCH") {
        fail(c, 411, "a request body needs its length (Content-Length) or chunks");
        return false;
    }
    if (c.length != 0 && lower(r.header("expect")) == "100-continue") {
        static constexpr char kContinue[] = "HTTP/1.1 100 Continue\r\n\r\n";
        [[maybe_unused]] const ssize_t n = ::send(c.fd, kContinue, sizeof kContinue - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    return true;
}

void Server::Impl::progress(Connection& c) {
    for (;;) {
        if (c.phase == Phase::head) {
            const std::size_t end = c.in.find("\r\n\r\n");
            if (end == std::string::npos) {
                if (c.in.size() > limits.max_head_bytes)
                    fail(c, 431, "a request head is at most " + std::to_string(limits.max_head_bytes) + " bytes");
                // Blank lines before a request are allowed.
                return;
            }
            if (end > limits.max_head_bytes) {
                fail(c, 431, "a request head is at most " + std::to_string(limits.max_head_bytes) + " bytes");
                return;
            }
            const std::string head = c.in.substr(0, end);
            c.in.erase(0, end + 4);
            if (!parse_head(c, head)) return;
            c.phase = Phase::body;
            c.deadline = Clock::now() + limits.body_time;
        }
        if (c.phase != Phase::body) return;
        if (c.length >= 0) {
            if (c.in.size() < static_cast<std::size_t>(c.length)) return;
            c.request.body = c.in.substr(0, static_cast<std::size_t>(c.length));
            c.in.erase(0, static_cast<std::size_t>(c.length));
        } else {
            std::size_t used = 0;
            const Chunks r = decode_chunks(c.in, c.request.body, used);
            if (r == Chunks::malformed) return fail(c, 400, "malformed chunks");
            if (c.request.body.size() > limits.max_body_bytes || (r == Chunks::more && c.in.size() > 4 * limits.max_body_bytes))
                return fail(c, 413, "a request body is at most " + std::to_string(limits.max_body_bytes) + " bytes");
            if (r == Chunks::more) return;
            c.in.erase(0, used);
        }
        dispatch(c);
        return;
    }
}

void Server::Impl::dispatch(Connection& c) {
    c.phase = Phase::busy;
    const std::string connection = lower(c.request.header("connection"));
    const bool close = connection == "close" || (c.request.version == "HTTP/1.0" && connection != "keep-alive") ||
                       c.served + 1 >= limits.max_requests_per_connection;
    std::lock_guard lock(mutex);
    jobs.push_back({c.fd, c.id, std::move(c.request), close});
    c.request = Request{};
    work_ready.notify_one();
}

void Server::Impl::answered(Connection& c) {
    if (c.close_after) {
        // Whatever the client still sends is read and dropped for a moment, so that it sees the answer.
        ::shutdown(c.fd, SHUT_WR);
        c.phase = Phase::draining;
        c.deadline = Clock::now() + std::chrono::seconds(2);
        c.in.clear();
        return;
    }
    ++c.served;
    c.out.clear();
    c.out.shrink_to_fit();
    c.out_at = 0;
    c.phase = Phase::head;
    c.since = Clock::now();
    c.deadline = c.since + limits.head_time;
    progress(c);
}

void Server::Impl::on_readable(Connection& c) {
    char buffer[16 * 1024];
    // What is kept unread is bounded: a head, then a body with its framing.
    const std::size_t most = limits.max_head_bytes + 4 * limits.max_body_bytes + sizeof buffer;
    for (;;) {
        const ssize_t n = ::recv(c.fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n == 0) {
            close(c.fd);
            return;
        }
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;
            if (errno == EINTR) continue;
            close(c.fd);
            return;
        }
        if (c.phase == Phase::draining) continue;
        c.in.append(buffer, static_cast<std::size_t>(n));
        if (c.in.size() >= most) break;
    }
    if (c.phase == Phase::head || c.phase == Phase::body) progress(c);
}

void Server::Impl::io_loop() {
    std::vector<pollfd> fds;
    std::vector<int> order;
    while (!stopping) {
        fds.clear();
        order.clear();
        fds.push_back({listen_fd, POLLIN, 0});
        fds.push_back({wake_fd, POLLIN, 0});
        auto soonest = Clock::now() + std::chrono::seconds(1);
        for (auto& [fd, c] : conns) {
            short events = 0;
            if (c.phase == Phase::head || c.phase == Phase::body || c.phase == Phase::draining) events = POLLIN;
            if (c.phase == Phase::writing) events = POLLOUT;
            if (!events) continue;
            fds.push_back({fd, events, 0});
            order.push_back(fd);
            soonest = std::min(soonest, c.deadline);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(soonest - Clock::now()).count();
        ::poll(fds.data(), fds.size(), static_cast<int>(std::clamp<long long>(wait + 1, 0, 1000)));
        if (stopping) break;
        if (fds[1].revents) {
            std::uint64_t n = 0;
            [[maybe_unused]] const ssize_t r = ::read(wake_fd, &n, sizeof n);
            std::deque<Done> finished;
            {
                std::lock_guard lock(mutex);
                finished.swap(done);
            }
            for (Done& d : finished) {
                const auto it = conns.find(d.fd);
                if (it == conns.end() || it->second.id != d.id) continue;
                Connection& c = it->second;
                c.out = std::move(d.bytes);
                c.out_at = 0;
                c.close_after = d.close;
                c.phase = Phase::writing;
                c.deadline = Clock::now() + limits.write_time;
            }
        }
        for (std::size_t i = 2; i < fds.size(); ++i) {
            if (!fds[i].revents) continue;
            const auto it = conns.find(order[i - 2]);
            if (it == conns.end()) continue;
            Connection& c = it->second;
            if (c.phase == Phase::writing) {
                while (c.out_at < c.out.size()) {
                    const ssize_t n = ::send(c.fd, c.out.data() + c.out_at, c.out.size() - c.out_at, MSG_NOSIGNAL | MSG_DONTWAIT);
                    if (n > 0) {
                        c.out_at += static_cast<std::size_t>(n);
                        continue;
                    }
                    if (n < 0 && errno == EINTR) continue;
                    break;
                }
                if (c.out_at >= c.out.size()) {
                    answered(c);
                } else if (fds[i].revents & (POLLERR | POLLHUP)) {
                    close(c.fd);
                }
            } else {
                on_readable(c);
            }
        }
        if (fds[0].revents) {
            for (;;) {
                const int fd = ::accept4(listen_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                if (fd < 0) break;
                admit(fd);
            }
        }
        // Deadlines: a head or a body too slow, an answer not read.
        const auto now = Clock::now();
        std::vector<int> expired;
        for (auto& [fd, c] : conns)
            if (c.phase != Phase::busy && now >= c.deadline) expired.push_back(fd);
        for (int fd : expired) {
            Connection& c = conns[fd];
            if ((c.phase == Phase::head && !c.in.empty()) || c.phase == Phase::body) {
                fail(c, 408, "the request came too slowly");
                // One try to say so, then it goes.
                ::send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            }
            close(fd);
        }
    }
}

void Server::Impl::worker() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex);
            work_ready.wait(lock, [this] { return stopping || !jobs.empty(); });
            if (stopping) return;
            job = std::move(jobs.front());
            jobs.pop_front();
        }
        Response res;
        try {
            handler(job.request, res);
        } catch (const std::exception& e) {
            res = Response{};
            res.status = 500;
            res.body = std::string("internal error: ") + e.what() + "\n";
        }
        Done d{job.fd, job.id, serialize(res, job.request.method == "HEAD", job.close), job.close};
        {
            std::lock_guard lock(mutex);
            done.push_back(std::move(d));
        }
        wake();
    }
}

Server::Server(Limits limits, Handler handler) : impl_(std::make_unique<Impl>(limits, std::move(handler))) {}

Server::~Server() {
    stop();
    if (impl_->listen_fd >= 0) ::close(impl_->listen_fd);
    if (impl_->wake_fd >= 0) ::close(impl_->wake_fd);
}

bool Server::listen(const std::string& address, int port, std::string& error) {
    Impl& s = *impl_;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int rc = getaddrinfo(address.c_str(), service.c_str(), &hints, &found); rc != 0) {
        error = "cannot listen on " + address + ": " + gai_strerror(rc);
        return false;
    }
    int fd = -1;
    int last_errno = 0;
    for (addrinfo* a = found; a && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) continue;
        // Rebinding after a restart is allowed; sharing the port with a listener is not (no SO_REUSEPORT).
        const int yes = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, 64) != 0) {
            last_errno = errno;
            ::close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    if (fd < 0) {
        error = last_errno == EADDRINUSE ? "port " + std::to_string(port) + " is in use"
                                         : "cannot listen on " + address + " port " + std::to_string(port) + ": " +
                                               std::strerror(last_errno);
        return false;
    }
    sockaddr_storage bound{};
    socklen_t n = sizeof bound;
    getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &n);
    s.port = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                               : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
    s.listen_fd = fd;
    s.wake_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return s.wake_fd >= 0;
}

int Server::port() const { return impl_->port; }

int Server::connections() const { return impl_->open; }

void Server::start() {
    Impl& s = *impl_;
    for (int i = 0; i < s.limits.workers; ++i) s.workers.emplace_back([&s] { s.worker(); });
    s.io_thread = std::thread([&s] { s.io_loop(); });
}

void Server::stop() {
    Impl& s = *impl_;
    if (s.stopping.exchange(true)) return;
    {
        std::lock_guard lock(s.mutex);
        s.work_ready.notify_all();
    }
    if (s.wake_fd >= 0) s.wake();
    if (s.io_thread.joinable()) s.io_thread.join();
    for (std::thread& t : s.workers) t.join();
    for (auto& [fd, c] : s.conns) ::close(fd);
    s.conns.clear();
}

}  // namespace tarvenol::host::serve::http
