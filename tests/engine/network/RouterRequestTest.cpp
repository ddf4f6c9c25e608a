// The choices of one request to a home router, tried with routers of the
// test's own that answer as told and remember what they were asked.
#include "engine/network/RouterRequest.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kit::MappingWay;
using Outcome = kit::PortMapping::Outcome;

constexpr std::uint32_t publicIp = 0xC6336417;  // 198.51.100.23
constexpr std::uint32_t privateIp = 0xAC140001; // 172.20.0.1
constexpr std::chrono::seconds lease{1800};

struct FakeUpnp {
    int igd = 0;
    std::optional<std::uint32_t> address = publicIp;
    int error = 0;
    std::vector<std::pair<std::uint16_t, std::chrono::seconds>> asked{};

    int discover() const { return igd; }
    std::optional<std::uint32_t> external() const { return address; }
    int map(std::uint16_t port, std::chrono::seconds l)
    {
        asked.emplace_back(port, l);
        return error;
    }
};

struct FakeNatPmp {
    std::optional<std::uint32_t> address;
    std::optional<std::uint16_t> mapped;
    int result = 0;
    std::vector<std::pair<std::uint16_t, std::chrono::seconds>> asked{};

    std::optional<std::uint32_t> external() const { return address; }
    std::optional<std::uint16_t> map(std::uint16_t port, std::chrono::seconds l, int& r)
    {
        asked.emplace_back(port, l);
        r = result;
        return mapped;
    }
};

struct Asked {
    kit::PortMapping::Status status;
    MappingWay way;
};

Asked request(FakeUpnp& upnp, FakeNatPmp& pmp)
{
    MappingWay way = MappingWay::natPmp; // whatever it was: every request says anew
    const kit::PortMapping::Status status = kit::requestMapping(16519, lease, upnp, pmp, way);
    return {status, way};
}

} // namespace

TEST(RouterRequests, AUpnpGatewayMapsThePortForTheLeaseWhetherItSaysItIsConnectedOrNot)
{
    for (const int igd : {1, 2}) {
        FakeUpnp upnp{igd};
        FakeNatPmp pmp{publicIp, 16519};
        const Asked a = request(upnp, pmp);
        EXPECT_EQ(a.status.outcome, Outcome::mapped) << igd;
        EXPECT_EQ(a.status.external, (kit::NetAddress{publicIp, 16519}));
        EXPECT_EQ(a.status.method, "UPnP");
        EXPECT_EQ(a.way, MappingWay::upnp) << "so that it is removed through UPnP";
        ASSERT_EQ(upnp.asked.size(), 1u);
        EXPECT_EQ(upnp.asked[0], std::make_pair(std::uint16_t{16519}, lease));
        EXPECT_TRUE(pmp.asked.empty()) << "NAT-PMP is only for routers without UPnP";
    }
}

TEST(RouterRequests, WithoutAUpnpGatewayNatPmpMapsThePortItNames)
{
    for (const int igd : {0, 3}) { // nothing, or a UPnP device that is no gateway
        FakeUpnp upnp{igd};
        FakeNatPmp pmp{publicIp, 16519};
        const Asked a = request(upnp, pmp);
        EXPECT_EQ(a.status.outcome, Outcome::mapped) << igd;
        EXPECT_EQ(a.status.method, "NAT-PMP");
        EXPECT_EQ(a.way, MappingWay::natPmp);
        EXPECT_TRUE(upnp.asked.empty());
        ASSERT_EQ(pmp.asked.size(), 1u);
        EXPECT_EQ(pmp.asked[0], std::make_pair(std::uint16_t{16519}, lease));
    }
    // A gateway may forward another public port than the one asked for:
    // friends must knock on that one.
    FakeUpnp none;
    FakeNatPmp other{publicIp, 40001};
    EXPECT_EQ(request(none, other).status.external, (kit::NetAddress{publicIp, 40001}));
}

TEST(RouterRequests, ARouterWhoseOwnAddressIsPrivateMapsNothing)
{
    FakeUpnp upnp{1, privateIp};
    FakeNatPmp pmp{publicIp, 16519};
    Asked a = request(upnp, pmp);
    EXPECT_EQ(a.status.outcome, Outcome::privateExternal);
    EXPECT_EQ(a.status.routerSaid, "its external address is 172.20.0.1");
    EXPECT_EQ(a.way, MappingWay::none);
    EXPECT_TRUE(upnp.asked.empty()) << "a mapping behind another NAT reaches nobody";

    FakeUpnp unconnected{2, std::nullopt};
    a = request(unconnected, pmp);
    EXPECT_EQ(a.status.outcome, Outcome::privateExternal);
    EXPECT_EQ(a.status.routerSaid, "it is not connected to the internet");

    FakeUpnp none;
    FakeNatPmp behind{privateIp, 16519};
    a = request(none, behind);
    EXPECT_EQ(a.status.outcome, Outcome::privateExternal);
    EXPECT_EQ(a.way, MappingWay::none);
    EXPECT_TRUE(behind.asked.empty());
}

TEST(RouterRequests, ARefusalOrNoAnswerMapsNothingAndSaysWhy)
{
    FakeUpnp refusing{1};
    refusing.error = 718; // ConflictInMappingEntry
    FakeNatPmp pmp{publicIp, 16519};
    Asked a = request(refusing, pmp);
    EXPECT_EQ(a.status.outcome, Outcome::refused);
    EXPECT_EQ(a.status.routerSaid, "UPnP error 718");
    EXPECT_EQ(a.way, MappingWay::none) << "nothing to remove";
    EXPECT_TRUE(pmp.asked.empty());

    FakeUpnp none;
    for (const std::optional<std::uint16_t> mapped :
         {std::optional<std::uint16_t>{}, std::optional<std::uint16_t>{0}}) {
        FakeNatPmp gateway{publicIp, mapped, 3};
        a = request(none, gateway);
        EXPECT_EQ(a.status.outcome, Outcome::refused) << "a public port 0 is no mapping";
        EXPECT_EQ(a.status.routerSaid, "NAT-PMP result 3");
        EXPECT_EQ(a.way, MappingWay::none);
    }

    FakeNatPmp silent;
    a = request(none, silent);
    EXPECT_EQ(a.status.outcome, Outcome::noRouter);
    EXPECT_EQ(a.status.routerSaid, "no UPnP or NAT-PMP answer");
    EXPECT_EQ(a.way, MappingWay::none);
}
