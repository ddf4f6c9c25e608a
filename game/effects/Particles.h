#pragma once

#include "engine/core/EntityHandle.h"

#include <glm/vec3.hpp>

#include <memory>
#include <string>

namespace kit {
class Material;
class World;
} // namespace kit

namespace skyscuffle {

// One short-lived textured quad: where it starts, how it flies, how it grows
// or shrinks and fades over its life, and what it looks like.
struct ParticleSpec {
    glm::vec3 position{0.0f};
    glm::vec3 velocity{0.0f}; // units per second
    float life = 1.0f;        // seconds
    float startScale = 1.0f;
    float endScale = 0.0f;
    float startAlpha = 1.0f;
    float endAlpha = 0.0f;
    float fadeIn = 0.0f; // seconds the opacity takes to rise from nothing (0: shown at once)
    glm::vec3 tint{1.0f};
    std::string texture; // path under the asset directory
};

// Spawns a particle entity: labelled "additiveBlending" and "gameSpace", with a
// Transform, a Body carrying its velocity, a blending Model of
// "models/quad.obj" drawn with "shaders/colorizedFlatShader.txt" (its tint and
// opacity are the entity's own "color" and "alpha"; the material is shared by
// every particle of the texture) and a ParticleLifeSpan. Local to this copy:
// particles are never replicated.
kit::EntityHandle spawnParticle(kit::World& world, const ParticleSpec& spec);

// The material every particle of a texture shares.
std::shared_ptr<kit::Material> particleMaterial(const std::string& texture);

} // namespace skyscuffle
