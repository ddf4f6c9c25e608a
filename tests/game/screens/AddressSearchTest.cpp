// How long a typed address has to answer: a search is still looking a float
// short of its patience and gives up on it. Runs real sockets on loopback
// (inside the suite's private network namespace), on ports nobody else in the
// suite uses, with nobody listening on the port looked at.
#include "game/screens/AddressSearch.h"

#include "engine/network/LANDiscoverySystem.h"
#include "support/Edges.h"

#include <gtest/gtest.h>

using namespace skyscuffle;

namespace {

constexpr float patience = 5.0f;

AddressSearch search()
{
    return AddressSearch(*TypedAddress::parse("127.0.0.1:16552"), patience);
}

} // namespace

TEST(AddressSearches, AFloatShortOfItsPatienceItIsStillLookingAndAtItItGivesUp)
{
    kit::LANDiscoverySystem discovery({16551}, 64, 1.0f);
    ASSERT_EQ(discovery.boundPort, 16551);
    AddressSearch waiting = search();
    EXPECT_EQ(waiting.poll(&discovery, test::justShort(patience)), AddressSearch::Outcome::looking);
    EXPECT_EQ(waiting.poll(&discovery, 1e-6f), AddressSearch::Outcome::noAnswer);

    AddressSearch atOnce = search();
    EXPECT_EQ(atOnce.poll(&discovery, patience), AddressSearch::Outcome::noAnswer);
}

TEST(AddressSearches, WithoutADiscoveryPortThereIsNothingToLookWith)
{
    AddressSearch nowhere = search();
    EXPECT_EQ(nowhere.poll(nullptr, 0.0f), AddressSearch::Outcome::noDiscovery);
    kit::LANDiscoverySystem unbound{{}, 64, 1.0f};
    EXPECT_EQ(nowhere.poll(&unbound, 0.0f), AddressSearch::Outcome::noDiscovery);
}
