#include "World.h"

#include <algorithm>
#include <cmath>

namespace kit {

TagId noTag()
{
    static const TagId empty = tagId("");
    return empty;
}

World::World(SetupFunction setup)
{
    if (setup)
        onStart.connect(std::move(setup));
    updateOrder = makeCollection<Component::CompareByUpdatePriority>(tagId("behavior"));
    renderOrder = makeCollection<Component::CompareByRenderPriority>(tagId("renderer"));
}

World::~World()
{
    connections.clear();
    entityCollections_.clear();
    componentCollections_.clear();
    renderOrders_.clear();
    updateOrder.reset();
    renderOrder.reset();
    const std::vector<Component*> remaining(components.begin(), components.end());
    components.clear();
    for (Component* c : remaining) {
        c->world = nullptr;
        delete c;
    }
}

template <class Compare> std::unique_ptr<SortedComponentCollection<Compare>> World::makeCollection(TagId tag)
{
    auto collection = std::make_unique<SortedComponentCollection<Compare>>(tag);
    for (Component* c : components) {
        if (c->hasTag(tag))
            collection->insert(c);
    }
    auto* raw = collection.get();
    collection->keep(onComponentAdded(tag, [raw](Component* c) { raw->insert(c); }),
                     onComponentRemoved(tag, [raw](Component* c) { raw->erase(c); }));
    return collection;
}

EntityHandle World::createEntity()
{
    EntityHandle handle{EntityID{origin, nextEntitySerial()}, this};
    entities.insert(handle.id);
    ++entitiesMade_;
    return handle;
}

std::optional<EntityHandle> World::claimEntity(EntityID id)
{
    if (id.serial == 0 || componentsOf(id) != nullptr || retired_.contains(id))
        return std::nullopt;
    entities.insert(id);
    claimed_.insert(id);
    ++entitiesMade_;
    return EntityHandle{id, this};
}

void World::changePriority(Component* c, float Component::*priority, float value)
{
    if (c->*priority == value)
        return;
    // Out of every order that sorts by this key, then back in at the new place;
    // iterations in progress step over it as over any removal.
    std::vector<RenderOrder*> renderOrders;
    bool inUpdateOrder = false;
    if (priority == &Component::updatePriority_) {
        inUpdateOrder = updateOrder->contains(c);
        if (inUpdateOrder)
            updateOrder->erase(c);
    } else {
        if (renderOrder->contains(c))
            renderOrders.push_back(renderOrder.get());
        for (auto& [tag, order] : renderOrders_) {
            if (order->contains(c))
                renderOrders.push_back(order.get());
        }
        for (RenderOrder* order : renderOrders)
            order->erase(c);
    }
    c->*priority = value;
    if (inUpdateOrder)
        updateOrder->insert(c);
    for (RenderOrder* order : renderOrders)
        order->insert(c);
}

void World::addComponent(const EntityHandle& entity, Component* c)
{
    if (c == nullptr)
        return;
    if (c->world != nullptr)
        c->world->removeComponent(c);

    entities.insert(entity.id);
    c->entityId = entity.id;
    // The component lives in the world that files it, whatever world the handle names.
    c->world = this;

    if (isStarted()) {
        if (!c->initialized) {
            c->initialized = true;
            c->initialize();
        }
        c->onAdded();
    }

    components.insert(c);
    componentsByEntity_[entity.id].insert(c);
    // Indexed access: a slot that added a tag to c must not invalidate the walk.
    for (std::size_t i = 0; i < c->tags.size(); ++i) {
        const TagId tag = *(c->tags.begin() + static_cast<std::ptrdiff_t>(i));
        componentsByTag_[TagKey{tag, entity.id}].insert(c);
        if (auto signal = addedSignals_.find(tag); signal != addedSignals_.end())
            (*signal->second)(c);
    }
}

Component* World::removeComponent(Component* c)
{
    if (c == nullptr || !components.contains(c))
        return c;
    if (!removing_.insert(c).second)
        return nullptr;
    c->onRemoved();
    removing_.erase(c);

    const EntityID id = c->entityId;
    if (auto own = componentsByEntity_.find(id); own != componentsByEntity_.end()) {
        own->second.erase(c);
        if (own->second.empty())
            componentsByEntity_.erase(own);
    }
    for (std::size_t i = 0; i < c->tags.size(); ++i) {
        const TagId tag = *(c->tags.begin() + static_cast<std::ptrdiff_t>(i));
        if (TagComponentSet* byTag = componentsByTag_.find(TagKey{tag, id})) {
            byTag->erase(c);
            if (byTag->empty())
                componentsByTag_.erase(TagKey{tag, id});
        }
        if (auto signal = removedSignals_.find(tag); signal != removedSignals_.end())
            (*signal->second)(c);
    }
    components.erase(c);
    c->world = nullptr;
    return c;
}

void World::destroyEntity(EntityHandle entity)
{
    pendingDestroy.push_back(entity);
}

void World::destroyEntityNow(EntityHandle entity)
{
    for (;;) {
        // The first component that is not already on its way out (an
        // onRemoved that destroys its own entity lands here again).
        const ComponentSet* own = componentsOf(entity.id);
        Component* next = nullptr;
        if (own) {
            for (Component* c : *own) {
                if (!removing_.contains(c)) {
                    next = c;
                    break;
                }
            }
        }
        if (!next)
            break;
        delete removeComponent(next);
    }
    entities.erase(entity.id);
    if (claimed_.erase(entity.id) > 0)
        retired_.insert(entity.id);
}

void World::destroyComponents(EntityID id, TagId tag)
{
    while (Component* c = getComponent(id, tag)) {
        Component* removed = removeComponent(c);
        if (!removed)
            break; // being removed further up the stack
        delete removed;
    }
}

Component* World::getComponent(EntityID id, TagId tag) const
{
    const TagComponentSet* found = componentsByTag_.find(TagKey{tag, id});
    return found && !found->empty() ? *found->begin() : nullptr;
}

bool World::entityHasTag(EntityID id, TagId tag) const
{
    const TagComponentSet* found = componentsByTag_.find(TagKey{tag, id});
    return found && !found->empty();
}

const World::ComponentSet* World::componentsOf(EntityID id) const
{
    auto found = componentsByEntity_.find(id);
    return found == componentsByEntity_.end() ? nullptr : &found->second;
}

EntityCollection* World::getEntities(TagId t1, TagId t2, TagId t3, TagId t4, TagId t5)
{
    TagSet tags;
    tags.insert(t1);
    for (TagId t : {t2, t3, t4, t5}) {
        if (t == noTag())
            break;
        tags.insert(t);
    }
    return getEntityCollection(tags);
}

EntityCollection* World::getEntityCollection(const TagSet& tags)
{
    auto& slot = entityCollections_[tags];
    if (!slot)
        slot = std::make_unique<EntityCollection>(*this, tags);
    return slot.get();
}

ComponentCollection* World::getComponentCollection(TagId tag)
{
    auto& slot = componentCollections_[tag];
    if (!slot)
        slot = makeCollection<std::less<Component*>>(tag);
    return slot.get();
}

World::RenderOrder* World::getComponentsByRenderPriority(TagId tag)
{
    auto& slot = renderOrders_[tag];
    if (!slot)
        slot = makeCollection<Component::CompareByRenderPriority>(tag);
    return slot.get();
}

Connection World::onComponentAdded(TagId tag, std::function<void(Component*)> slot)
{
    auto& signal = addedSignals_[tag];
    if (!signal)
        signal = std::make_unique<ComponentSignal>();
    return signal->connect(std::move(slot));
}

Connection World::onComponentRemoved(TagId tag, std::function<void(Component*)> slot)
{
    auto& signal = removedSignals_[tag];
    if (!signal)
        signal = std::make_unique<ComponentSignal>();
    return signal->connect(std::move(slot));
}

void World::start()
{
    onStart(this);

    // The setup and the initialisers may add components; those added to a
    // started world are initialised as they arrive, so a snapshot suffices.
    const std::vector<Component*> present(components.begin(), components.end());
    for (Component* c : present) {
        if (components.contains(c) && !c->initialized) {
            c->initialized = true;
            c->initialize();
        }
    }
    for (Component* c : present) {
        if (components.contains(c))
            c->onAdded();
    }
}

void World::update(float dt)
{
    if (timeScale == 1.0f && catchUp == 0.0f) {
        step(dt);
        return;
    }
    const float ahead = std::isfinite(catchUp) && catchUp > 0.0f ? catchUp : 0.0f;
    catchUp = 0.0f;
    const auto stepsOf = [](float seconds, float longest) {
        return std::clamp(static_cast<int>(std::ceil(seconds / longest - 1e-4f)), 1, maxStepsPerUpdate);
    };
    if (ahead > 0.0f) {
        const int steps = stepsOf(ahead, catchUpStep);
        for (int i = 0; i < steps; ++i)
            step(ahead / static_cast<float>(steps));
    }
    const float own = std::isfinite(timeScale) && timeScale > 0.0f ? dt * timeScale : 0.0f;
    if (own <= 0.0f && ahead > 0.0f)
        return; // stopped: the catch-up was the whole update
    const int steps = stepsOf(own, maxStep);
    for (int i = 0; i < steps; ++i)
        step(own / static_cast<float>(steps));
}

void World::step(float dt)
{
    for (auto it = updateOrder->begin(); it != updateOrder->end(); ++it) {
        Component* c = *it;
        if (c->enabled)
            c->update(dt);
    }
    destroyPending();
}

void World::render(float dt)
{
    for (auto it = renderOrder->begin(); it != renderOrder->end(); ++it) {
        Component* c = *it;
        if (c->enabled)
            c->render(dt);
    }
}

void World::destroyPending()
{
    // Destructions can queue further destructions (an onRemoved that kills a
    // child); those are carried out in the same pass rather than forgotten.
    while (!pendingDestroy.empty()) {
        std::vector<EntityHandle> batch;
        batch.swap(pendingDestroy);
        for (EntityHandle entity : batch)
            destroyEntityNow(entity);
    }
}

} // namespace kit
