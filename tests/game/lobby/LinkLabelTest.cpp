// The words and colour beside another copy's players for the link to it: the
// round trip, the loss when there is any, and for a poor link a sign, a word
// and a warm red.
#include "game/lobby/LinkLabel.h"

#include "engine/core/World.h"
#include "engine/network/NetworkSystem.h"

#include <gtest/gtest.h>

using kit::LinkQuality;
using namespace skyscuffle;

namespace {

TEST(LinkLabels, GiveTheRoundTripAndAnyLoss)
{
    EXPECT_EQ(linkLabel(LinkQuality{42, 0.0f}), "42 ms");
    EXPECT_EQ(linkLabel(LinkQuality{0, 0.0f}), "0 ms");
    EXPECT_EQ(linkLabel(LinkQuality{180, 0.03f}), "180 ms 3%");
    EXPECT_EQ(linkLabel(LinkQuality{180, 0.001f}), "180 ms 1%") << "some loss never reads as none";
    EXPECT_EQ(linkLabel(LinkQuality{250, 0.05f}), "250 ms 5%") << "at the bounds a link is not poor";
}

TEST(LinkLabels, MarkAPoorLinkWithASignAndAWord)
{
    EXPECT_EQ(linkLabel(LinkQuality{310, 0.07f}), "! 310 ms 7% loss");
    EXPECT_EQ(linkLabel(LinkQuality{251, 0.0f}), "! 251 ms");
    EXPECT_EQ(linkLabel(LinkQuality{40, 0.051f}), "! 40 ms 6% loss") << "poor by its loss alone";
    EXPECT_EQ(linkLabel(LinkQuality{123456, 2.0f}), "! 9999 ms 100% loss");
}

TEST(LinkLabels, ColourAPoorLinkWarmRed)
{
    EXPECT_EQ(linkColour(LinkQuality{310, 0.0f}), poorLinkColour);
    EXPECT_EQ(linkColour(LinkQuality{20, 0.06f}), poorLinkColour);
    EXPECT_EQ(linkColour(LinkQuality{250, 0.05f}), fineLinkColour);
    EXPECT_GT(poorLinkColour.r, 0.9f);
    EXPECT_LT(poorLinkColour.g, 0.5f) << "warm red, not the pale blue of a fine link";
}

TEST(LinkLabels, KnowNoLinkToTheirOwnCopyOrWithoutANetwork)
{
    EXPECT_FALSE(linkTo(nullptr, 5));
    kit::World alone;
    alone.origin = 0x1234;
    EXPECT_FALSE(linkTo(&alone, 5)) << "no network system";
    auto* network = new kit::NetworkSystem(30.0f);
    alone.addComponent(kit::EntityHandle{alone.systemEntity(), &alone}, network);
    network->recordPeer(kit::NetworkSystem::PeerRecord{{}, 5, "joinScreen"});
    EXPECT_FALSE(linkTo(&alone, 0x1234)) << "its own copy";
    EXPECT_FALSE(linkTo(&alone, 5)) << "a copy it has no connection to";
}

} // namespace
