#pragma once

#include <atomic>
#include <thread>

// A TCP relay on loopback between the program and a server, holding each chunk for a delay in
// each direction (a slow link where the kernel's netem is not to be had) and counting round
// trips: every time the client speaks again after the server answered.
class SlowLink
{
public:
    SlowLink(int serverPort, int oneWayDelayMs);
    ~SlowLink();
    int port() const { return m_port; }
    long roundTrips() const { return m_trips.load(); }
    // Those of the first connection made through the link: the program's own attachment, which
    // the window waits on; the others are its helpers' beside it.
    long windowTrips() const { return m_windowTrips.load(); }

private:
    void run();
    int m_listen = -1;
    int m_port = 0;
    int m_serverPort;
    int m_delayMs;
    std::atomic<long> m_trips{0};
    std::atomic<long> m_windowTrips{0};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
