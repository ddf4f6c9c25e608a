#pragma once

#include "Component.h"
#include "EntityCollection.h"
#include "EntityHandle.h"
#include "FlatHashMap.h"
#include "Signal.h"
#include "SortedComponentCollection.h"
#include "Tags.h"

#include <boost/container/flat_set.hpp>
#include <boost/container/small_vector.hpp>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace kit {

class Application;
class JoystickManager;
class Keyboard;
class Mouse;
class RenderState;
class Window;

// The tag that stands for "no tag" in the unused arguments of getEntities.
TagId noTag();

// A screen of the game: the entities and components it shows and simulates.
// The world owns its components. Everything here runs on the main thread.
class World {
public:
    using SetupFunction = std::function<void(World*)>;
    // Ordered by address. Most entities hold a handful of components and one
    // per tag, so the sets live inline and rarely touch the heap.
    using ComponentSet =
        boost::container::flat_set<Component*, std::less<Component*>, boost::container::small_vector<Component*, 4>>;
    using TagComponentSet =
        boost::container::flat_set<Component*, std::less<Component*>, boost::container::small_vector<Component*, 2>>;
    using UpdateOrder = SortedComponentCollection<Component::CompareByUpdatePriority>;
    using RenderOrder = SortedComponentCollection<Component::CompareByRenderPriority>;

    // The setup function fills the world when it starts (it is connected to onStart).
    explicit World(SetupFunction setup = {});
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    // Cuts the world's connections and deletes the collections first, so that
    // nothing hears of what follows, then the components still in the world,
    // without calling their onRemoved. Each is detached (world = null) before it
    // is deleted: a destructor releases what the component holds outside the
    // world (sound channels, GPU objects) and never reaches into the world.
    ~World();

    // A new entity of this copy: (origin, next serial).
    EntityHandle createEntity();
    // Claims an entity under an id that a named function was given (a spawn
    // arriving from any copy). Refused, with nullopt, for a system entity
    // (serial 0), for an entity that already has components here, and for one
    // that was claimed and destroyed before, so that a late, repeated or forged
    // call can neither graft onto nor revive an entity.
    std::optional<EntityHandle> claimEntity(EntityID id);
    // Whether this copy made the entity, and so is the one that decides about
    // it and sends its state.
    [[nodiscard]] bool owns(EntityID id) const { return id.origin == origin; }
    // How many entities createEntity and claimEntity have made here so far:
    // what a peer's calls cost, counted by the network system.
    [[nodiscard]] std::uint64_t entitiesMade() const { return entitiesMade_; }
    // This copy's system entity (origin, 0), home of its services.
    [[nodiscard]] EntityID systemEntity() const { return EntityID{origin, 0}; }
    // Takes ownership of c and files it under the entity. A component that is in
    // a world is first removed from it.
    void addComponent(const EntityHandle& entity, Component* c);
    // Creates a component in place and adds it; returns it.
    template <class T, class... Args> T* emplaceComponent(const EntityHandle& entity, Args&&... args)
    {
        T* c = new T(std::forward<Args>(args)...);
        addComponent(entity, c);
        return c;
    }
    // Unfiles c at once; ownership goes back to the caller. Null gives null,
    // and so does a component already being removed (its onRemoved is
    // running further up the stack; that removal finishes the job).
    Component* removeComponent(Component* c);
    // Queues the entity for destruction at the end of the current or next update pass.
    void destroyEntity(EntityHandle entity);
    // By value: the caller's handle may live in a collection that the destruction edits.
    void destroyEntityNow(EntityHandle entity);
    void destroyComponents(EntityID id, TagId tag);

    // The component of the entity carrying the tag with the lowest address, or null.
    [[nodiscard]] Component* getComponent(EntityID id, TagId tag) const;
    template <class T> [[nodiscard]] T* getComponent(EntityID id) const
    {
        return static_cast<T*>(getComponent(id, typeId<T>()));
    }
    [[nodiscard]] bool entityHasTag(EntityID id, TagId tag) const;
    // Every component of the entity, or null when it has none here. Valid
    // until the world's contents change.
    [[nodiscard]] const ComponentSet* componentsOf(EntityID id) const;

    EntityCollection* getEntities(TagId t1, TagId t2 = noTag(), TagId t3 = noTag(), TagId t4 = noTag(),
                                  TagId t5 = noTag());
    EntityCollection* getEntityCollection(const TagSet& tags);
    ComponentCollection* getComponentCollection(TagId tag);
    // The one component of class T in the world, or null: how a world's
    // services (its network, its sounds, a budget, the recorder) are found,
    // wherever their entity is. Where a test or a mistake has added two, the
    // one with the lowest address, the same each time.
    template <class T> [[nodiscard]] T* single()
    {
        return static_cast<T*>(getComponentCollection(typeId<T>())->first());
    }
    // The components carrying a tag in render order (cached like the others).
    RenderOrder* getComponentsByRenderPriority(TagId tag);

    Connection onComponentAdded(TagId tag, std::function<void(Component*)> slot);
    Connection onComponentRemoved(TagId tag, std::function<void(Component*)> slot);

    // Fires onStart, then initialises the components that never were and calls
    // onAdded on every component.
    void start();
    // Updates the enabled behaviours in update order, then destroys the queued
    // entities; more than once when the time scale asks for more steps.
    void update(float dt);
    // Renders the enabled renderers in render order.
    void render(float dt);

    // A world counts as started from the moment the application gives it its services.
    [[nodiscard]] bool isStarted() const { return owner != nullptr; }

    // The copy this world belongs to: localOrigin(), except where a test runs
    // several copies of the game in one process. Every id the world makes
    // carries it; the application hands it on from world to world.
    std::uint32_t origin = localOrigin();
    // A world that is not this copy of the game but another one, with its
    // own origin and services (a recorded match played back): the
    // application neither gives it this copy's origin nor carries this copy's
    // persistent entities into it, but keeps them aside until a world of this
    // copy follows.
    bool separateCopy = false;
    // How fast the world's time runs: an update of dt advances it by
    // dt * timeScale, in steps of at most maxStep seconds, so that a world
    // run four times as fast, or caught up by a minute at once, runs the very
    // same simulation in more steps rather than longer ones. 0 stops it (one
    // update of 0 s still runs).
    float timeScale = 1.0f;
    // Seconds the next update runs ahead of its own, in steps of up to
    // catchUpStep (a replay jumping ahead: what it shows is set again by the
    // recording within a fifteenth of a second, so coarser steps do); back to
    // 0 once run.
    float catchUp = 0.0f;
    static constexpr float maxStep = 1.0f / 60.0f;
    static constexpr float catchUpStep = 1.0f / 20.0f;
    static constexpr int maxStepsPerUpdate = 20000;
    // The most frames per second this world needs (a still menu needs few);
    // 0 leaves the application's cap. It never raises that cap.
    float maxFrameRate = 0.0f;
    // A still screen: the frame loop draws it only when something may have
    // changed (input, a finished load, the window, the switch to it), and
    // once a second besides; in between the last picture stays on the screen.
    bool drawsOnChange = false;

    std::unordered_set<Component*> components;
    std::vector<ScopedConnection> connections; // to long-lived signals; cut with the world
    Signal<void(World*)> onStart;
    std::set<EntityID> entities;
    std::vector<EntityHandle> pendingDestroy;

    Application* owner = nullptr;
    Window* window = nullptr;
    Keyboard* keyboard = nullptr;
    Mouse* mouse = nullptr;
    JoystickManager* joysticks = nullptr;
    RenderState* renderState = nullptr; // the OpenGL state cache, null without a context

    std::unique_ptr<UpdateOrder> updateOrder;
    std::unique_ptr<RenderOrder> renderOrder;

private:
    friend class Component;
    // Files c again in the sorted orders while one of its priorities changes.
    void changePriority(Component* c, float Component::*priority, float value);

    using ComponentSignal = Signal<void(Component*)>;

    struct TagKey {
        TagId tag;
        EntityID id;
        friend bool operator==(const TagKey&, const TagKey&) = default;
    };
    // Multiplicative mixing: the index keeps only the low bits of the hash.
    struct TagKeyHash {
        std::size_t operator()(const TagKey& k) const noexcept
        {
            std::uint64_t h = (std::uint64_t(k.id.origin) << 32 | k.id.serial) * 0x9E3779B97F4A7C15ull;
            h ^= (std::uint64_t(k.tag) + 0x632BE59BD9B4E019ull) * 0xBF58476D1CE4E5B9ull;
            return static_cast<std::size_t>(h ^ (h >> 29));
        }
    };

    template <class Compare> std::unique_ptr<SortedComponentCollection<Compare>> makeCollection(TagId tag);
    void destroyPending();
    void step(float dt);

    FlatHashMap<TagKey, TagComponentSet, TagKeyHash> componentsByTag_;
    std::unordered_map<EntityID, ComponentSet, EntityIDHash> componentsByEntity_;
    std::unordered_map<TagId, std::unique_ptr<ComponentSignal>> addedSignals_;
    std::unordered_map<TagId, std::unique_ptr<ComponentSignal>> removedSignals_;
    std::unordered_map<TagId, std::unique_ptr<ComponentCollection>> componentCollections_;
    std::unordered_map<TagId, std::unique_ptr<RenderOrder>> renderOrders_;
    std::map<TagSet, std::unique_ptr<EntityCollection>> entityCollections_;
    std::unordered_set<Component*> removing_;            // in their onRemoved, still indexed
    std::unordered_set<EntityID, EntityIDHash> claimed_; // alive, made through claimEntity
    std::unordered_set<EntityID, EntityIDHash> retired_; // claimed once, destroyed since
    std::uint64_t entitiesMade_ = 0;
};

} // namespace kit
