// The bomb hanging under a plane, seen from the plane's own copy and from
// another one: it blinks with the plane's shield, goes at a drop and comes
// back a period later, and goes for good with the last bomb, on both alike.
#include "game/match/MatchFunctions.h"
#include "game/powerups/BombPower.h"
#include "game/weapons/Bomb.h"
#include "game/weapons/BombSpawner.h"

#include "engine/render/Model.h"
#include "support/LinkedCopies.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace skyscuffle;

using test::PlaneRig;

namespace {

struct Looks {
    kit::Model* plane = nullptr;
    kit::EntityHandle rack;

    [[nodiscard]] kit::Model* hanging() const { return rack.world->getComponent<kit::Model>(rack.id); }
    // 'S' shown, 'h' hidden.
    [[nodiscard]] char planeShown() const { return plane->enabled ? 'S' : 'h'; }
    [[nodiscard]] char bombShown() const { return hanging()->enabled ? 'S' : 'h'; }
};

class BombRackAcrossCopies : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::tie(mine, seen) = link.plane(glm::vec3(0, 40, 0));
        link.dt = 0.0625f; // frames of a sixteenth: the shield's quarter seconds are four frames
        link.framesPerRecord = 1;
        for (PlaneRig* p : {&mine, &seen}) {
            looks(*p).plane = new kit::Model(kit::ResourceHandle<kit::Mesh>{});
            p->entity.world->addComponent(p->entity, looks(*p).plane);
        }
        link.owner.network->callFunction(fn::grantPower, mine.entity, glm::vec3(0), PowerEnum::bomb);
        link.frame();
        for (PlaneRig* p : {&mine, &seen}) {
            const auto* power = p->entity.world->getComponent<BombPower>(p->entity.id);
            ASSERT_NE(power, nullptr);
            ASSERT_FALSE(power->weapon.empty());
            ASSERT_NE(p->entity.world->getComponent<BombSpawner>(power->weapon.id), nullptr);
            looks(*p).rack = power->weapon;
        }
    }

    Looks& looks(const PlaneRig& p) { return &p == &mine ? ownersView : othersView; }
    // What each copy shows of the hanging bomb over `count` frames.
    std::pair<std::string, std::string> bombOver(int count)
    {
        std::string owners, others;
        for (int i = 0; i < count; ++i) {
            link.frame();
            owners += ownersView.bombShown();
            others += othersView.bombShown();
        }
        return {owners, others};
    }
    [[nodiscard]] bool rackExists(const Looks& view) const
    {
        return view.rack.world->entities.contains(view.rack.id) &&
               view.rack.world->getComponent<BombSpawner>(view.rack.id) != nullptr;
    }

    test::LinkedCopies link;
    PlaneRig mine, seen; // the owner's plane, and the other copy's view of it
    Looks ownersView, othersView;
};

} // namespace

TEST_F(BombRackAcrossCopies, TheHangingBombBlinksWithTheShieldOnBothCopies)
{
    link.owner.network->callFunction(fn::grantInvincibility, mine.entity);
    std::string ownersPlane, othersPlane, ownersBomb, othersBomb;
    for (int i = 0; i < 32; ++i) { // the shield's 2 s
        link.frame();
        ownersPlane += ownersView.planeShown();
        othersPlane += othersView.planeShown();
        ownersBomb += ownersView.bombShown();
        othersBomb += othersView.bombShown();
    }
    const std::string blinking = "SSShhhhSSSShhhhSSSShhhhSSSShhhhS";
    EXPECT_EQ(ownersPlane, blinking);
    EXPECT_EQ(othersPlane, blinking);
    EXPECT_EQ(ownersBomb, blinking) << "the bomb blinks with the plane it hangs under";
    EXPECT_EQ(othersBomb, blinking) << "and so on the other copy";
    EXPECT_EQ(bombOver(4), std::make_pair(std::string("SSSS"), std::string("SSSS"))) << "the shield is over";
}

TEST_F(BombRackAcrossCopies, ADropTakesTheBombAwayOnBothCopiesForAPeriodAndTheLastTheRack)
{
    std::vector<std::string> heard; // the sounds the other copy is asked to play
    link.other.network->registerFunction(*link.other.world, fn::playSound,
                                         [&](kit::EntityHandle, const std::string& name) { heard.push_back(name); });
    mine.gamepad->held[2] = true;
    link.frame(); // the drop
    mine.gamepad->held[2] = false;
    EXPECT_EQ(heard, std::vector<std::string>{"bombDrop"}) << "the drop whistles; the bang comes with the blast";
    EXPECT_EQ(ownersView.bombShown(), 'h');
    EXPECT_EQ(othersView.bombShown(), 'h');
    // A second of frames of a sixteenth: the next bomb hangs there again on the sixteenth.
    const auto [owners, others] = bombOver(18);
    EXPECT_EQ(owners, "hhhhhhhhhhhhhhhSSS");
    EXPECT_EQ(others, owners);

    // Dropped while the shield blinks: hidden until the period is over, then blinking.
    link.owner.network->callFunction(fn::grantInvincibility, mine.entity);
    mine.gamepad->held[2] = true;
    link.frame();
    mine.gamepad->held[2] = false;
    const auto [ownersBlink, othersBlink] = bombOver(24);
    EXPECT_EQ(ownersBlink, "hhhhhhhhhhhhhhhSSShhhhSS");
    EXPECT_EQ(othersBlink, ownersBlink);

    // The last bomb takes the rack away with the power, on both copies.
    mine.gamepad->held[2] = true;
    for (int i = 0; i < 20 && rackExists(ownersView); ++i)
        link.frame();
    link.frames(2);
    EXPECT_FALSE(rackExists(ownersView));
    EXPECT_FALSE(rackExists(othersView));
    EXPECT_EQ(link.owner.world->getComponent<BombPower>(mine.entity.id), nullptr);
    EXPECT_EQ(link.other.world->getComponent<BombPower>(seen.entity.id), nullptr);
    EXPECT_EQ(link.other.world->getEntities(kit::typeId<Bomb>())->size(), 3u); // all three fell there too
}
