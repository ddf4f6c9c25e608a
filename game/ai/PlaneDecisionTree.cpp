#include "PlaneDecisionTree.h"

#include "game/ai/Actions.h"
#include "game/ai/ArtificialIntelligence.h"
#include "game/ai/DecisionTree.h"
#include "game/ai/Decisions.h"
#include "game/ai/PilotView.h"
#include "game/common/ArenaLayout.h"
#include "game/common/GameMath.h"
#include "game/common/Tags.h"

#include "engine/core/World.h"

#include <glm/common.hpp>
#include <glm/geometric.hpp>

namespace skyscuffle {

namespace {

template <class D>
std::shared_ptr<D> fork(std::shared_ptr<D> decision, std::shared_ptr<DecisionTreeNode> whenTrue,
                        std::shared_ptr<DecisionTreeNode> whenFalse)
{
    decision->whenTrue = std::move(whenTrue);
    decision->whenFalse = std::move(whenFalse);
    return decision;
}

std::shared_ptr<DecisionTreeNode> leaf(std::shared_ptr<Action> action)
{
    return std::make_shared<ActionNode>(std::move(action));
}

} // namespace

PlaneDecisionTree::PlaneDecisionTree(ArtificialIntelligence* ai) : ai(ai)
{
    addClassTags<PlaneDecisionTree>("planeDecisionTree");
}

void PlaneDecisionTree::initialize()
{
    // Built once the pilot's plane is known (the tests of the tree hold it).
    const kit::EntityHandle plane = getEntity();
    auto attack = leaf(std::make_shared<Attack>(ai));
    auto fetchAny = leaf(std::make_shared<FindPowerup>(ai, tags::pickUpItem));
    // One sub-tree, reached from two places: find someone to attack, else fetch a pick-up.
    auto findTarget = fork(std::make_shared<FindTarget>(ai), attack, fetchAny);
    auto wounded = fork(std::make_shared<isLabelExist>(plane, "healthPickUpItem"),
                        leaf(std::make_shared<FindPowerup>(ai, "healthPickUpItem")),
                        fork(std::make_shared<FindDamager>(plane, ai), leaf(std::make_shared<Evade>(ai)), findTarget));
    auto healthy = fork(std::make_shared<isTargetAlive>(ai), attack, findTarget);
    root = fork(std::make_shared<isHealthly>(plane), healthy, wounded);
}

void PlaneDecisionTree::update(float dt)
{
    if (!ai || !root)
        return;
    // A slower pilot holds its last decision a while.
    ai->sinceDecision += dt;
    if (ai->sinceDecision < skillOf(ai->strength).reactionSeconds)
        return;
    ai->sinceDecision = 0.0f;
    ai->stick = glm::vec2(0.0f);
    ai->buttons = {false, false, false};
    if (std::shared_ptr<Action> action = root->makeDecision())
        action->perform();
    ai->stick = clearOfWalls(getEntity(), ai->stick);
}

namespace {

// From inside a box, the way out through its nearest face.
glm::vec2 outOf(glm::vec2 at, glm::vec2 low, glm::vec2 high)
{
    const float toFace[] = {at.x - low.x, high.x - at.x, at.y - low.y, high.y - at.y};
    const glm::vec2 out[] = {{-1.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, -1.0f}, {0.0f, 1.0f}};
    std::size_t nearest = 0;
    for (std::size_t i = 1; i < 4; ++i) {
        if (toFace[i] < toFace[nearest])
            nearest = i;
    }
    return out[nearest];
}

} // namespace

glm::vec2 clearOfWalls(kit::EntityHandle plane, glm::vec2 stick)
{
    // Where the plane will be a moment from now, and how near each solid
    // part of the arena that is: within `room`, the stick turns away from
    // it, the harder the nearer (from inside one, fully, out through its
    // nearest face). A stick that points into it slides along its face
    // instead, toward the open sky: a pilot whose target is beyond a rock
    // goes round it rather than hang in front of it, turning back and forth.
    constexpr float ahead = 0.5f; // seconds
    constexpr float room = 14.0f; // units
    const glm::vec2 at = glm::vec2(pilot::position(plane)) + glm::vec2(pilot::velocity(plane)) * ahead;
    const ArenaLayout& layout = layoutOf(plane.world);
    const glm::vec2 open = layout.middle() - at;
    glm::vec2 away(0.0f);
    glm::vec2 steer = stick;
    for (const ArenaBox& box : layout.solids) {
        const glm::vec2 low = layout.low(box), high = layout.high(box);
        const glm::vec2 nearest = glm::clamp(at, low, high);
        if (nearest == at) {
            away += outOf(at, low, high);
            continue;
        }
        const glm::vec2 off = at - nearest;
        const float distance = glm::length(off);
        if (distance >= room)
            continue;
        const float nearness = 1.0f - distance / room;
        const glm::vec2 out = off / distance;
        away += out * nearness;
        const float into = glm::dot(steer, out);
        if (into < 0.0f) {
            glm::vec2 along(-out.y, out.x);
            if (glm::dot(along, open) < 0.0f)
                along = -along;
            steer += -into * nearness * (out + along);
        }
    }
    if (away == glm::vec2(0.0f))
        return stick;
    return unitOrZero(steer + 2.0f * away);
}

} // namespace skyscuffle
