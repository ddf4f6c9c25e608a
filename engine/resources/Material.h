#pragma once

#include "ResourceHandle.h"
#include "UniformValue.h"

#include "engine/render/state/RenderState.h"

#include <map>
#include <string>

namespace kit {

class ShaderProgram;
class Texture;

// What a mesh part is drawn with: a program, uniform values and textures by
// sampler name. Setting anything marks it changed, so that its values are
// sent to the program before its next draw.
class Material final : public RenderStateUser {
public:
    Material() = default;
    Material(const Material&) = delete;
    Material& operator=(const Material&) = delete;
    // Leaves the program and the render state that remember it as the
    // material whose values they hold, so that nothing reads it afterwards.
    ~Material();

    void renderStateGone() override { lastState_ = nullptr; }

    void setUniform(const std::string& name, const UniformValue& value)
    {
        uniforms.set(name, value);
        changed = true;
    }
    template <class Bool>
        requires std::is_same_v<Bool, bool>
    void setUniform(const std::string& name, Bool value)
    {
        setUniform(name, UniformValue(value ? 1 : 0));
    }
    template <class T>
    [[nodiscard]] const T* uniform(const std::string& name) const
    {
        return uniforms.get<T>(name);
    }

    void setTexture(const std::string& sampler, ResourceHandle<Texture> texture)
    {
        textures[sampler] = std::move(texture);
        changed = true;
    }
    [[nodiscard]] const ResourceHandle<Texture>* texture(const std::string& sampler) const
    {
        auto found = textures.find(sampler);
        return found == textures.end() ? nullptr : &found->second;
    }

    void setShaderProgram(ResourceHandle<ShaderProgram> program);

    // Makes the material's program current (applying the renderer's global
    // uniforms when the program was not current or the globals changed),
    // binds its textures, puts back this material's values of uniforms that
    // an entity overrode since (see ShaderProgram::setOverride) and, unless it
    // is the material last applied, uploads its values, first restoring the
    // program's own values of names that the previous material had set.
    // False when the program is not linked yet.
    bool use(RenderState& state, const UniformSet& globals);

    // A variant of `shaderProgram` that draws many users of this material in
    // one instanced draw: it reads per copy, as vertex inputs with the same
    // names, what the program reads as uniforms ("MVP", "color", "alpha"),
    // and computes the same thing with them. Empty: each user is drawn alone.
    ResourceHandle<ShaderProgram> instancedProgram;

    ResourceHandle<ShaderProgram> shaderProgram;
    UniformSet uniforms;
    std::map<std::string, ResourceHandle<Texture>> textures;
    bool changed = true;

private:
    RenderState* lastState_ = nullptr;
};

} // namespace kit
