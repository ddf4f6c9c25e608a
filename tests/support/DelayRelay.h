#pragma once

// A faraway host on loopback: datagrams between one client and a server,
// each held the same time on its way, both ways. The client sends to
// port(); the server sees the relay's other socket as its client.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <thread>
#include <vector>

namespace test {

class DelayRelay {
public:
    DelayRelay(std::uint16_t serverPort, std::chrono::milliseconds delay)
        : front_(bound()), back_(bound()), server_(loopback(serverPort)), delay_(delay)
    {
        thread_ = std::thread([this] { run(); });
    }
    ~DelayRelay()
    {
        stop_ = true;
        thread_.join();
        ::close(front_);
        ::close(back_);
    }
    DelayRelay(const DelayRelay&) = delete;
    DelayRelay& operator=(const DelayRelay&) = delete;

    [[nodiscard]] std::uint16_t port() const
    {
        sockaddr_in a{};
        socklen_t size = sizeof a;
        ::getsockname(front_, reinterpret_cast<sockaddr*>(&a), &size);
        return ntohs(a.sin_port);
    }

private:
    using Clock = std::chrono::steady_clock;
    struct Held {
        Clock::time_point due;
        bool toServer = false;
        std::vector<std::uint8_t> bytes;
    };

    static sockaddr_in loopback(std::uint16_t port)
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }
    static int bound()
    {
        const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
        const sockaddr_in a = loopback(0);
        ::bind(s, reinterpret_cast<const sockaddr*>(&a), sizeof a);
        return s;
    }

    void run()
    {
        std::deque<Held> held; // in order of arrival, so of their times too
        std::uint8_t buffer[2048];
        while (!stop_) {
            pollfd fds[2] = {{front_, POLLIN, 0}, {back_, POLLIN, 0}};
            ::poll(fds, 2, 1);
            if (fds[0].revents & POLLIN) {
                sockaddr_in from{};
                socklen_t size = sizeof from;
                const ssize_t n =
                    ::recvfrom(front_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &size);
                if (n > 0) {
                    client_ = from;
                    held.push_back({Clock::now() + delay_, true, {buffer, buffer + n}});
                }
            }
            if (fds[1].revents & POLLIN) {
                const ssize_t n = ::recv(back_, buffer, sizeof buffer, 0);
                if (n > 0)
                    held.push_back({Clock::now() + delay_, false, {buffer, buffer + n}});
            }
            while (!held.empty() && held.front().due <= Clock::now()) {
                const Held& h = held.front();
                if (h.toServer)
                    ::sendto(back_, h.bytes.data(), h.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&server_),
                             sizeof server_);
                else if (client_)
                    ::sendto(front_, h.bytes.data(), h.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&*client_),
                             sizeof *client_);
                held.pop_front();
            }
        }
    }

    int front_, back_;
    sockaddr_in server_;
    std::optional<sockaddr_in> client_;
    std::chrono::milliseconds delay_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace test
