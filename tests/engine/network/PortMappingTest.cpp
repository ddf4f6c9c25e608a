// Port mapping on a home router. The lab cases run only inside the network
// lab (tests/scripts/netlab_test.sh starts them in its homes, saying which
// home in SKYSCUFFLE_NETLAB_HOME); anywhere else they are skipped.
#include "engine/network/PortMapping.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

using kit::PortMapping;
using Outcome = PortMapping::Outcome;

TEST(PortMappingAddresses, WhatTheInternetCannotReachIsPrivate)
{
    struct Edge {
        std::uint32_t first, last; // of a private range
    };
    for (const Edge& e : {Edge{0x00000000, 0x00FFFFFF}, Edge{0x0A000000, 0x0AFFFFFF}, Edge{0x64400000, 0x647FFFFF},
                          Edge{0x7F000000, 0x7FFFFFFF}, Edge{0xA9FE0000, 0xA9FEFFFF}, Edge{0xAC100000, 0xAC1FFFFF},
                          Edge{0xC0A80000, 0xC0A8FFFF}}) {
        EXPECT_TRUE(PortMapping::isPrivate(e.first)) << std::hex << e.first;
        EXPECT_TRUE(PortMapping::isPrivate(e.last)) << std::hex << e.last;
        if (e.first != 0) {
            EXPECT_FALSE(PortMapping::isPrivate(e.first - 1)) << std::hex << e.first - 1;
        }
        if (e.last != 0xFFFFFFFF) {
            EXPECT_FALSE(PortMapping::isPrivate(e.last + 1)) << std::hex << e.last + 1;
        }
    }
    EXPECT_FALSE(PortMapping::isPrivate(0x0B000102)); // the lab's internet
    EXPECT_FALSE(PortMapping::isPrivate(0xC6336417));
}

namespace {

// The home this run is in, or nothing outside the lab.
std::string labHome()
{
    const char* home = std::getenv("SKYSCUFFLE_NETLAB_HOME");
    return home ? home : "";
}

// Waits for the mapping's first answer (a router that never answers takes
// UPnP's discovery and NAT-PMP's patience, some five seconds).
PortMapping::Status settled(const PortMapping& mapping)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (mapping.status().outcome == Outcome::asking && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return mapping.status();
}

std::string leases()
{
    const char* path = std::getenv("SKYSCUFFLE_NETLAB_LEASES");
    if (!path)
        return "";
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(PortMappingLab, AHomeRouterMapsThePortForTheMappingsLifeAndNoLonger)
{
    if (labHome() != "homeA")
        GTEST_SKIP() << "runs in the network lab's home A";
    {
        const PortMapping mapping(16520, std::chrono::seconds(600));
        const PortMapping::Status status = settled(mapping);
        ASSERT_EQ(status.outcome, Outcome::mapped) << status.routerSaid;
        EXPECT_EQ(status.external, (kit::NetAddress{0x0B000102, 16520})); // 11.0.1.2, router A's WAN side
        EXPECT_EQ(status.method, "UPnP");
        const std::string entry = "UDP:16520:192.168.1.2:16520:";
        const std::string all = leases();
        const std::size_t at = all.find(entry);
        ASSERT_NE(at, std::string::npos) << all;
        // The router's entry ends with the lease: an absolute time of expiry,
        // or the seconds left, depending on its version.
        const long long until = std::atoll(all.c_str() + at + entry.size());
        const long long now =
            std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
                .count();
        EXPECT_GE(until > 1000000000 ? until - now : until, 500) << "the lease asked for was 600 s: " << all;
    }
    // Gone from the router soon after the mapping, while the game goes on.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (leases().find(":16520:") != std::string::npos && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(leases().find(":16520:"), std::string::npos) << "removed with the mapping: " << leases();
    PortMapping::finishRemovals();
}

TEST(PortMappingLab, WithoutAMappingServiceTheMappingSaysNoRouter)
{
    if (labHome() != "homeB" && labHome() != "homeA-stopped")
        GTEST_SKIP() << "runs in the network lab's home B, or home A with its service stopped";
    const PortMapping mapping(16520);
    const PortMapping::Status status = settled(mapping);
    EXPECT_EQ(status.outcome, Outcome::noRouter) << status.routerSaid;
    PortMapping::finishRemovals();
}

TEST(PortMappingLab, BehindTwoNatsTheRoutersExternalAddressIsPrivate)
{
    if (labHome() != "homeC")
        GTEST_SKIP() << "runs in the network lab's home C";
    const PortMapping mapping(16520);
    const PortMapping::Status status = settled(mapping);
    EXPECT_EQ(status.outcome, Outcome::privateExternal) << status.routerSaid;
    PortMapping::finishRemovals();
}
