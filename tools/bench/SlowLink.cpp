#include "SlowLink.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

SlowLink::SlowLink(int serverPort, int oneWayDelayMs)
    : m_serverPort(serverPort)
    , m_delayMs(oneWayDelayMs)
{
    m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listen, reinterpret_cast<sockaddr *>(&a), sizeof a);
    ::listen(m_listen, 8);
    socklen_t len = sizeof a;
    ::getsockname(m_listen, reinterpret_cast<sockaddr *>(&a), &len);
    m_port = ntohs(a.sin_port);
    m_thread = std::thread([this] { run(); });
}

SlowLink::~SlowLink()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listen);
}

namespace {
// BENCH_TRACE: each round trip on stderr, with the connection, the first operation code of the
// wire protocol and the readable text of the chunk (a statement's text, mostly).
void traceTrip(long trip, size_t connection, const char *data, ssize_t n)
{
    static const bool on = std::getenv("BENCH_TRACE") != nullptr;
    if (!on)
        return;
    const unsigned op = n >= 4 ? static_cast<unsigned char>(data[0]) << 24 | static_cast<unsigned char>(data[1]) << 16
                                     | static_cast<unsigned char>(data[2]) << 8 | static_cast<unsigned char>(data[3])
                               : 0;
    std::string text;
    std::string run;
    for (ssize_t i = 0; i < n; ++i) {
        const unsigned char c = data[i];
        if (c >= 32 && c < 127) {
            run += char(c);
            continue;
        }
        if (run.size() >= 6)
            text += (text.empty() ? "" : " | ") + run;
        run.clear();
    }
    if (run.size() >= 6)
        text += (text.empty() ? "" : " | ") + run;
    std::fprintf(stderr, "trip %ld conn %zu op %u %zd bytes %.160s\n", trip, connection, op, n, text.c_str());
}

using Clock = std::chrono::steady_clock;

// Bytes read from one side, handed on to the other once the link's delay has passed.
struct Chunk {
    Clock::time_point due;
    std::string bytes;
};

struct Direction {
    int from;
    int to;
    std::deque<Chunk> queued;
    size_t queuedBytes = 0;
    bool ended = false;
};

struct Pair {
    Direction up;   // client to server
    Direction down; // server to client
    size_t number;  // in the order the connections were made
    bool lastFromServer = true;
    bool closed = false;
};

constexpr size_t MostQueued = 4 << 20;

void setNonBlocking(int fd)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

// Writes what is due; false when the receiving side is gone.
bool flush(Direction &d, Clock::time_point now)
{
    while (!d.queued.empty() && d.queued.front().due <= now) {
        std::string &b = d.queued.front().bytes;
        const ssize_t w = ::write(d.to, b.data(), b.size());
        if (w < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK;
        d.queuedBytes -= size_t(w);
        if (size_t(w) < b.size()) {
            b.erase(0, size_t(w));
            return true;
        }
        d.queued.pop_front();
    }
    return true;
}
} // namespace

// One thread relays every connection; each chunk waits the delay on its own, so connections
// and directions never hold each other up, as on a real link.
void SlowLink::run()
{
    std::vector<Pair> pairs;
    size_t made = 0;
    char buffer[65536];
    const auto delay = std::chrono::milliseconds(m_delayMs);
    while (!m_stop) {
        const Clock::time_point now = Clock::now();
        int timeout = 50;
        std::vector<pollfd> fds{{m_listen, POLLIN, 0}};
        for (Pair &p : pairs)
            for (Direction *d : {&p.up, &p.down}) {
                short events = 0;
                if (!d->ended && d->queuedBytes < MostQueued)
                    events |= POLLIN;
                if (!d->queued.empty()) {
                    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(d->queued.front().due - now);
                    if (wait.count() <= 0)
                        events |= POLLOUT;
                    else
                        timeout = std::min(timeout, int(wait.count()));
                }
                fds.push_back({d->from, short(events & POLLIN), 0});
                fds.push_back({d->to, short(events & POLLOUT), 0});
            }
        if (::poll(fds.data(), fds.size(), timeout) < 0)
            continue;
        if (fds[0].revents & POLLIN) {
            const int c = ::accept(m_listen, nullptr, nullptr);
            const int s = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            a.sin_port = htons(m_serverPort);
            ::connect(s, reinterpret_cast<sockaddr *>(&a), sizeof a);
            setNonBlocking(c);
            setNonBlocking(s);
            pairs.push_back({{c, s, {}}, {s, c, {}}, made++});
        }
        const Clock::time_point readAt = Clock::now();
        for (size_t i = 0; i < pairs.size(); ++i) {
            Pair &p = pairs[i];
            for (const bool fromClient : {true, false}) {
                Direction &d = fromClient ? p.up : p.down;
                const pollfd &in = fds[1 + 4 * i + (fromClient ? 0 : 2)];
                if (in.revents & (POLLIN | POLLHUP | POLLERR)) {
                    const ssize_t n = ::read(d.from, buffer, sizeof buffer);
                    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
                        d.ended = true;
                    } else if (n > 0) {
                        if (fromClient && p.lastFromServer) {
                            traceTrip(++m_trips, p.number, buffer, n);
                            if (p.number == 0)
                                ++m_windowTrips;
                        }
                        p.lastFromServer = !fromClient;
                        d.queued.push_back({readAt + delay, std::string(buffer, size_t(n))});
                        d.queuedBytes += size_t(n);
                    }
                }
                if (!flush(d, Clock::now()) || (d.ended && d.queued.empty()))
                    p.closed = true;
            }
        }
        for (size_t i = pairs.size(); i-- > 0;)
            if (pairs[i].closed) {
                ::close(pairs[i].up.from);
                ::close(pairs[i].up.to);
                pairs.erase(pairs.begin() + long(i));
            }
    }
    for (const Pair &p : pairs) {
        ::close(p.up.from);
        ::close(p.up.to);
    }
}

