#pragma once

#include "EntityHandle.h"
#include "EntityID.h"
#include "Tags.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kit {

class NetStream;
class World;

// A component is a heap object filed under one entity of one world, which owns
// it. Components find their siblings through the world by tag on every use
// instead of keeping pointers across frames.
class Component {
public:
    Component() : creationOrder_(nextCreationOrder()) {}
    // A copy is a new component: it keeps the fields, with an order of its own.
    Component(const Component& other)
        : world(other.world), initialized(other.initialized), enabled(other.enabled), tags(other.tags),
          entityId(other.entityId), creationOrder_(nextCreationOrder()), updatePriority_(other.updatePriority_),
          renderPriority_(other.renderPriority_)
    {
    }
    Component& operator=(const Component&) = delete;
    virtual ~Component() = default;

    // Runs once in the component's life, the first time it is in a started world.
    virtual void initialize() {}
    // Runs each time the component is added to a started world and each time its world starts.
    virtual void onAdded() {}
    // Runs when the component is removed, before it leaves the world's indexes.
    virtual void onRemoved() {}
    // Update pass, for components tagged "behavior"; dt in seconds.
    virtual void update(float dt) { (void)dt; }
    // Render pass, for components tagged "renderer"; dt in seconds.
    virtual void render(float dt) { (void)dt; }
    // Writes or reads the replicated state; the stream knows its direction.
    virtual void serialize(NetStream& stream) { (void)stream; }
    // The name under which the component is replicated; empty when it is not.
    virtual std::string networkTypeName() const { return {}; }
    // After a peer's state records for this component's entity were applied,
    // for a component tagged "followsState": `delay` is the link's estimated
    // one-way delay from the entity's owner, seconds.
    virtual void stateArrived(float delay) { (void)delay; }

    [[nodiscard]] EntityHandle getEntity() const { return EntityHandle{entityId, world}; }

    // Tags must be complete before the component is added to a world: the world
    // files it under the tags it carries at that moment.
    void addTag(TagId tag) { tags.insert(tag); }
    [[nodiscard]] bool hasTag(TagId tag) const { return tags.contains(tag); }

    // Update order: lower priority first, then entity id, then the order in
    // which the components were made (not their addresses, so that a run
    // seeded alike repeats itself exactly).
    struct CompareByUpdatePriority {
        bool operator()(const Component* a, const Component* b) const;
    };
    // Render order: the same with the render priority.
    struct CompareByRenderPriority {
        bool operator()(const Component* a, const Component* b) const;
    };

    // Keys of the update and render orders (lower first). Setting one on a
    // component that is in a world files it again in that world's orders, so
    // that a change always takes effect and never corrupts an order.
    [[nodiscard]] float updatePriority() const { return updatePriority_; }
    [[nodiscard]] float renderPriority() const { return renderPriority_; }
    void setUpdatePriority(float priority);
    void setRenderPriority(float priority);

    World* world = nullptr;
    bool initialized = false;
    bool enabled = true;
    TagSet tags;
    EntityID entityId;

private:
    friend class World;
    static std::uint64_t nextCreationOrder();

    std::uint64_t creationOrder_;
    float updatePriority_ = 0.0f;
    float renderPriority_ = 0.0f;

protected:
    // Adds a class's own name tag and its class type id, as every component
    // class's constructor does after its base class's tags.
    template <class Self> void addClassTags(std::string_view nameTag)
    {
        addTag(tagId(nameTag));
        addTag(typeId<Self>());
    }
};

} // namespace kit
