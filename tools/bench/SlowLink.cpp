#include "SlowLink.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
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
struct Pair {
    int client;
    int server;
    bool lastFromServer = true;
    bool closed = false;
};
}

void SlowLink::run()
{
    std::vector<Pair> pairs;
    char buffer[65536];
    while (!m_stop) {
        std::vector<pollfd> fds{{m_listen, POLLIN, 0}};
        for (const Pair &p : pairs) {
            fds.push_back({p.client, POLLIN, 0});
            fds.push_back({p.server, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), 50) <= 0)
            continue;
        if (fds[0].revents & POLLIN) {
            const int c = ::accept(m_listen, nullptr, nullptr);
            const int s = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            a.sin_port = htons(m_serverPort);
            ::connect(s, reinterpret_cast<sockaddr *>(&a), sizeof a);
            const int one = 1;
            ::setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            pairs.push_back({c, s});
        }
        for (size_t i = 0; i < pairs.size(); ++i) {
            Pair &p = pairs[i];
            for (const bool fromClient : {true, false}) {
                const pollfd &f = fds[1 + 2 * i + (fromClient ? 0 : 1)];
                if (!(f.revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                const int from = fromClient ? p.client : p.server;
                const int to = fromClient ? p.server : p.client;
                const ssize_t n = ::read(from, buffer, sizeof buffer);
                if (n <= 0) {
                    p.closed = true;
                    break;
                }
                if (fromClient && p.lastFromServer)
                    ++m_trips;
                p.lastFromServer = !fromClient;
                // The link's delay one way; a relay of one thread, so the program waits it too.
                if (m_delayMs > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(m_delayMs));
                for (ssize_t done = 0; done < n;) {
                    const ssize_t w = ::write(to, buffer + done, n - done);
                    if (w <= 0)
                        break;
                    done += w;
                }
            }
        }
        for (size_t i = pairs.size(); i-- > 0;)
            if (pairs[i].closed) {
                ::close(pairs[i].client);
                ::close(pairs[i].server);
                pairs.erase(pairs.begin() + i);
            }
    }
    for (const Pair &p : pairs) {
        ::close(p.client);
        ::close(p.server);
    }
}
