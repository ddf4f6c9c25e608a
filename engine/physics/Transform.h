#pragma once

#include "engine/core/Component.h"
#include "engine/core/EntityHandle.h"
#include "engine/network/stream/Received.h"

#include <glm/gtc/quaternion.hpp>
#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace kit {

// Places an entity in space: a local position, rotation and scale, relative to
// an optional parent entity's world transform. Replicated as "transform": a
// peer's record is applied only when all of it is sane (a position inside
// receivedBounds, a rotation that normalises, a scale inside receivedScale);
// otherwise the transform stays as it was.
class Transform : public Component {
public:
    static constexpr float maxReceivedScale = 1000.0f;

    Transform(EntityHandle parent, glm::vec3 position, glm::vec3 scale = glm::vec3(1.0f),
              glm::quat rotation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f));
    explicit Transform(glm::vec3 position = glm::vec3(0.0f), glm::vec3 scale = glm::vec3(1.0f),
                       glm::quat rotation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f));
    // From a column-major translate * rotate * scale matrix: the translation
    // column, the scale as the lengths of the upper 3 x 3's columns, and the
    // rotation of those columns once the scale is divided out.
    explicit Transform(const glm::mat4& m);

    // translate(position) * rotation * scale, times the parent's world matrix on the left.
    [[nodiscard]] glm::mat4 worldMatrix() const;
    [[nodiscard]] glm::vec3 worldPosition() const;
    [[nodiscard]] glm::quat worldRotation() const;

    // The parent's Transform, or null when the parent does not resolve.
    [[nodiscard]] Transform* parentTransform() const;

    void initialize() override;
    void onRemoved() override;
    void serialize(NetStream& stream) override;
    std::string networkTypeName() const override { return "transform"; }

    glm::vec3 position;
    glm::quat rotation;
    glm::vec3 scale;
    std::vector<EntityHandle> children; // entities whose Transform names this one as parent
    EntityHandle parent;                // a null world means no parent
    // Where a peer's record may put the (local) position: the engine's bound,
    // unless the game knows better for its entity (a plane stays near the arena).
    received::Box receivedBounds;
    // What a peer's record may make the scale, per axis: any size up to
    // maxReceivedScale either way, unless the game knows better (nothing
    // in a match resizes a plane).
    received::Box receivedScale{glm::vec3(-maxReceivedScale), glm::vec3(maxReceivedScale)};
    // Peers' records taken so far: tells whoever follows the entity that a
    // new one came.
    std::uint32_t recordsTaken = 0;

private:
    [[nodiscard]] glm::mat4 worldMatrix(int depth) const;
    [[nodiscard]] glm::quat worldRotation(int depth) const;
};

} // namespace kit
