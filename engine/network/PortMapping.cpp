#include "PortMapping.h"

#include "engine/network/RouterRequest.h"

#include <arpa/inet.h>
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <natpmp.h>
#include <sys/select.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace kit {

struct PortMapping::Shared {
    std::uint16_t port = 0;
    std::chrono::seconds lease{0};
    mutable std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
    Status status;
};

namespace {

using Clock = std::chrono::steady_clock;
constexpr int discoveryMilliseconds = 2000;
constexpr auto natPmpPatience = std::chrono::milliseconds(2500);
constexpr auto retryAfter = std::chrono::seconds(30); // a router that did not answer may later

std::optional<std::uint32_t> parseIPv4(const char* text)
{
    in_addr address{};
    if (inet_pton(AF_INET, text, &address) != 1)
        return std::nullopt;
    return ntohl(address.s_addr);
}

// A UPnP Internet Gateway Device found on the LAN.
class UpnpRouter {
public:
    ~UpnpRouter()
    {
        if (state_ != 0)
            FreeUPNPUrls(&urls_);
    }
    // 0: no device; 1: a connected gateway; 2: a gateway that says it is not
    // connected; 3: a UPnP device that is no gateway.
    int discover()
    {
        int error = 0;
        UPNPDev* devices = upnpDiscover(discoveryMilliseconds, nullptr, nullptr, UPNP_LOCAL_PORT_ANY, 0, 2, &error);
        if (!devices)
            return 0;
        state_ = UPNP_GetValidIGD(devices, &urls_, &data_, lan_, sizeof lan_);
        freeUPNPDevlist(devices);
        return state_;
    }
    std::optional<std::uint32_t> external()
    {
        char ip[40] = {};
        if (UPNP_GetExternalIPAddress(urls_.controlURL, data_.first.servicetype, ip) != 0)
            return std::nullopt;
        return parseIPv4(ip);
    }
    // 0 on success, else the router's error code.
    int map(std::uint16_t port, std::chrono::seconds lease)
    {
        const std::string p = std::to_string(port), seconds = std::to_string(lease.count());
        return UPNP_AddPortMapping(urls_.controlURL, data_.first.servicetype, p.c_str(), p.c_str(), lan_, "Skyscuffle",
                                   "UDP", nullptr, seconds.c_str());
    }
    void unmap(std::uint16_t port)
    {
        const std::string p = std::to_string(port);
        UPNP_DeletePortMapping(urls_.controlURL, data_.first.servicetype, p.c_str(), "UDP", nullptr);
    }

private:
    int state_ = 0;
    UPNPUrls urls_{};
    IGDdatas data_{};
    char lan_[64] = {};
};

// The default gateway, asked through NAT-PMP (answered by PCP routers too).
class NatPmpGateway {
public:
    ~NatPmpGateway()
    {
        if (open_)
            closenatpmp(&handle_);
    }
    std::optional<std::uint32_t> external()
    {
        if (!open_) {
            if (initnatpmp(&handle_, 0, 0) < 0)
                return std::nullopt;
            open_ = true;
        }
        natpmpresp_t response{};
        if (sendpublicaddressrequest(&handle_) < 0 || !answer(response))
            return std::nullopt;
        return ntohl(response.pnu.publicaddress.addr.s_addr);
    }
    // The public port mapped, if the gateway mapped one; a lease of 0 removes it.
    std::optional<std::uint16_t> map(std::uint16_t port, std::chrono::seconds lease, int& result)
    {
        natpmpresp_t response{};
        result = sendnewportmappingrequest(&handle_, NATPMP_PROTOCOL_UDP, port, port,
                                           static_cast<std::uint32_t>(lease.count()));
        if (result < 0 || !answer(response))
            return std::nullopt;
        return response.pnu.newportmapping.mappedpublicport;
    }

private:
    // The answer to the pending request, within a patience of our own (the
    // library would retry for a minute).
    bool answer(natpmpresp_t& response)
    {
        const auto end = Clock::now() + natPmpPatience;
        for (;;) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(handle_.s, &readable);
            timeval timeout{};
            getnatpmprequesttimeout(&handle_, &timeout);
            timeout.tv_sec = std::min<long>(timeout.tv_sec, 1);
            select(handle_.s + 1, &readable, nullptr, nullptr, &timeout);
            const int result = readnatpmpresponseorretry(&handle_, &response);
            if (result >= 0)
                return true;
            if (result != NATPMP_TRYAGAIN || Clock::now() >= end)
                return false;
        }
    }

    natpmp_t handle_{};
    bool open_ = false;
};

void work(const std::shared_ptr<PortMapping::Shared>& shared)
{
    UpnpRouter upnp;
    NatPmpGateway pmp;
    MappingWay way = MappingWay::none;
    std::unique_lock lock(shared->mutex);
    while (!shared->stop) {
        lock.unlock();
        PortMapping::Status status = requestMapping(shared->port, shared->lease, upnp, pmp, way);
        lock.lock();
        shared->status = status;
        // Renewed at half the lease; asked again a while after no answer.
        const auto wait = status.outcome == PortMapping::Outcome::mapped
                              ? std::chrono::duration_cast<Clock::duration>(shared->lease / 2)
                              : std::chrono::duration_cast<Clock::duration>(retryAfter);
        shared->wake.wait_for(lock, wait, [&] { return shared->stop; });
    }
    lock.unlock();
    if (way == MappingWay::upnp) {
        upnp.unmap(shared->port);
    } else if (way == MappingWay::natPmp) {
        int result = 0;
        pmp.map(shared->port, std::chrono::seconds(0), result);
    }
}

// Every mapping's thread. Told to stop at the end of the program (or when
// asked), one that mapped a port is waited for while it removes it; one
// still asking is left to end with the program (what a router grants it
// after that lapses with its lease), so that no exit waits on a router.
struct Workers {
    std::mutex mutex;
    std::vector<std::pair<std::thread, std::shared_ptr<PortMapping::Shared>>> running;

    void finish()
    {
        std::vector<std::pair<std::thread, std::shared_ptr<PortMapping::Shared>>> all;
        {
            std::lock_guard guard(mutex);
            all.swap(running);
        }
        for (auto& [thread, shared] : all) {
            bool mapped = false;
            {
                std::lock_guard guard(shared->mutex);
                shared->stop = true;
                mapped = shared->status.outcome == PortMapping::Outcome::mapped;
            }
            shared->wake.notify_all();
            if (mapped)
                thread.join();
            else
                thread.detach();
        }
    }
    ~Workers() { finish(); }
};

Workers& workers()
{
    static Workers all;
    return all;
}

} // namespace

PortMapping::PortMapping(std::uint16_t port, std::chrono::seconds lease)
    : port_(port), shared_(std::make_shared<Shared>())
{
    shared_->port = port;
    shared_->lease = std::max(lease, std::chrono::seconds(120));
    Workers& all = workers();
    std::lock_guard guard(all.mutex);
    all.running.emplace_back(std::thread([shared = shared_] { work(shared); }), shared_);
}

PortMapping::~PortMapping()
{
    {
        std::lock_guard guard(shared_->mutex);
        shared_->stop = true;
    }
    shared_->wake.notify_all();
}

PortMapping::Status PortMapping::status() const
{
    std::lock_guard guard(shared_->mutex);
    return shared_->status;
}

bool PortMapping::isPrivate(std::uint32_t ip)
{
    const auto in = [ip](std::uint32_t network, int bits) {
        const std::uint32_t mask = bits == 0 ? 0 : ~std::uint32_t{0} << (32 - bits);
        return (ip & mask) == network;
    };
    return in(0x00000000, 8) || in(0x0A000000, 8) || in(0x64400000, 10) || in(0x7F000000, 8) || in(0xA9FE0000, 16) ||
           in(0xAC100000, 12) || in(0xC0A80000, 16);
}

void PortMapping::finishRemovals()
{
    workers().finish();
}

} // namespace kit
