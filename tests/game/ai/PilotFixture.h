#pragma once

#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/PlaneDecisionTree.h"
#include "game/ai/VirtualGamepadAI.h"
#include "game/match/MatchFunctions.h"

#include "engine/core/Label.h"
#include "engine/core/Settings.h"
#include "engine/physics/Transform.h"
#include "support/GameWorld.h"
#include "support/PlaneRig.h"

using namespace skyscuffle;

namespace test {

// Computer pilots in a match world: the pilot's plane carries its
// ArtificialIntelligence, its AI gamepad and its decision tree.
struct Pilots : GameWorld {
    void SetUp() override
    {
        GameWorld::SetUp();
        registerGameplayFunctions(*world);
        kit::settings::set("tuning.ai.steeringAccuracy", "70");
    }
    void TearDown() override { kit::settings::set("tuning.ai.steeringAccuracy", "70"); }

    struct Pilot {
        PlaneRig plane;
        ArtificialIntelligence* ai;
    };
    Pilot pilot(glm::vec3 at, glm::vec3 nose = glm::vec3(1, 0, 0))
    {
        Pilot p{PlaneRig::build(*world, at, nose), new ArtificialIntelligence};
        world->destroyComponents(p.plane.entity.id, kit::typeId<FakeGamepad>());
        world->addComponent(p.plane.entity, p.ai);
        world->addComponent(p.plane.entity, new VirtualGamepadAI(p.ai));
        world->addComponent(p.plane.entity, new kit::Label("player"));
        world->addComponent(p.plane.entity, new PlaneDecisionTree(p.ai));
        return p;
    }
    // A plane that is only a target: no pilot, no gamepad.
    PlaneRig enemy(glm::vec3 at, glm::vec3 nose = glm::vec3(-1, 0, 0))
    {
        PlaneRig p = PlaneRig::build(*world, at, nose);
        world->destroyComponents(p.entity.id, kit::typeId<FakeGamepad>());
        world->addComponent(p.entity, new kit::Label("player"));
        world->destroyComponents(p.entity.id, kit::typeId<PlanePhysics>()); // it holds still
        return p;
    }
    kit::EntityHandle pickUp(glm::vec3 at, const char* label)
    {
        const kit::EntityHandle item = world->createEntity();
        world->addComponent(item, new kit::Transform(at));
        world->addComponent(item, new kit::Label(label));
        world->addComponent(item, new kit::Label("pickUpItem"));
        return item;
    }
    // The pilot's choice of this frame, without anything moving.
    void think(Pilot& p) { world->getComponent<PlaneDecisionTree>(p.plane.entity.id)->update(0.0f); }
};

} // namespace test
