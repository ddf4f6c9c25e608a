#include "Transform.h"

#include "engine/core/World.h"
#include "engine/network/stream/CompactState.h"
#include "engine/network/stream/NetStream.h"

#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>

namespace kit {
namespace {

// Parent chains are short (plane -> propeller); a longer one is a loop, which
// is cut here instead of recursing forever.
constexpr int maxParentDepth = 32;

} // namespace

Transform::Transform(EntityHandle parent, glm::vec3 position, glm::vec3 scale, glm::quat rotation)
    : position(position), rotation(rotation), scale(scale), parent(parent)
{
    addClassTags<Transform>("transform");
}

Transform::Transform(glm::vec3 position, glm::vec3 scale, glm::quat rotation)
    : Transform(EntityHandle{}, position, scale, rotation)
{
}

Transform::Transform(const glm::mat4& m) : Transform(EntityHandle{}, glm::vec3(m[3]))
{
    // m = translate * rotate * scale: the columns of the upper 3 x 3 are the
    // rotated axes, each as long as its scale. The rotation comes from the
    // columns with the scale divided out, so that it stays a unit quaternion.
    glm::mat3 axes(m);
    for (int column = 0; column < 3; ++column) {
        scale[column] = glm::length(axes[column]);
        if (scale[column] > 0.0f)
            axes[column] /= scale[column];
    }
    rotation = glm::normalize(glm::quat_cast(axes));
}

Transform* Transform::parentTransform() const
{
    if (parent.world == nullptr)
        return nullptr;
    return dynamic_cast<Transform*>(parent.world->getComponent(parent.id, typeId<Transform>()));
}

glm::mat4 Transform::worldMatrix() const
{
    return worldMatrix(0);
}

glm::mat4 Transform::worldMatrix(int depth) const
{
    const glm::mat4 local =
        glm::translate(glm::mat4(1.0f), position) * glm::mat4_cast(rotation) * glm::scale(glm::mat4(1.0f), scale);
    const Transform* up = depth < maxParentDepth ? parentTransform() : nullptr;
    return up ? up->worldMatrix(depth + 1) * local : local;
}

glm::vec3 Transform::worldPosition() const
{
    const Transform* up = parentTransform();
    if (!up)
        return position;
    return glm::vec3(up->worldMatrix() * glm::vec4(position, 1.0f));
}

glm::quat Transform::worldRotation() const
{
    return worldRotation(0);
}

glm::quat Transform::worldRotation(int depth) const
{
    const Transform* up = depth < maxParentDepth ? parentTransform() : nullptr;
    return up ? up->worldRotation(depth + 1) * rotation : rotation;
}

void Transform::initialize()
{
    if (Transform* up = parentTransform())
        up->children.push_back(getEntity());
}

void Transform::onRemoved()
{
    Transform* up = parentTransform();
    if (!up)
        return;
    const EntityHandle self = getEntity();
    auto found = std::find(up->children.begin(), up->children.end(), self);
    if (found != up->children.end())
        up->children.erase(found);
}

namespace {

// How a transform's state travels packed: a position in 1/128ths of a unit
// within 512 of the origin (z usually 0), a rotation, a scale usually 1.
const compactState::Registration packedTransform{
    1,
    {"transform",
     {compactState::Field::real(128.0f, 17), compactState::Field::real(128.0f, 17),
      compactState::Field::real(128.0f, 17), compactState::Field::rotation(),
      compactState::Field::real(256.0f, 12, 1.0f), compactState::Field::real(256.0f, 12, 1.0f),
      compactState::Field::real(256.0f, 12, 1.0f)}}};

} // namespace

void Transform::serialize(NetStream& stream)
{
    if (stream.writing) {
        stream.serialize(position);
        stream.serialize(rotation);
        stream.serialize(scale);
        return;
    }
    // Ten floats, all of them sane, or nothing changes.
    if (stream.bitsLeft() < 10 * 32)
        return;
    // (Read over the present values: nothing read is ever left undefined.)
    glm::vec3 p = position, s = scale;
    glm::quat q = rotation;
    stream.serialize(p);
    stream.serialize(q);
    stream.serialize(s);
    const std::optional<glm::quat> turn = received::rotation(q);
    if (!receivedBounds.contains(p) || !turn || !receivedScale.contains(s))
        return;
    position = p;
    rotation = *turn;
    scale = s;
    ++recordsTaken;
}

} // namespace kit
