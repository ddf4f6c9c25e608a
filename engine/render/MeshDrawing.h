#pragma once

#include <glm/mat4x4.hpp>

#include <functional>

namespace kit {

class Material;
class Mesh;
class RenderState;
class ShaderProgram;
class UniformOverrides;
class UniformSet;

// Draws every part of a mesh whose buffer and material are ready: the
// material is used (program, textures, values), "MVP", "MV", "M" and "V" are
// set from the render state's camera, and the part's triangles are drawn.
// `material`, when given, replaces every part's own; `overrides`, when
// given, go over the material's values for this draw only; `prepare`, when
// given, sets further uniforms on the program before each part is drawn.
void drawMesh(const Mesh& mesh, RenderState& state, const glm::mat4& model, const UniformSet& globals,
              Material* material = nullptr, const UniformOverrides* overrides = nullptr,
              const std::function<void(ShaderProgram&)>& prepare = {});

// Sets the four matrix uniforms of the current program.
void setMatrices(RenderState& state, const glm::mat4& model, bool withModelView = true);

} // namespace kit
