#include "Material.h"

#include "ShaderProgram.h"
#include "Texture.h"

#include "engine/render/state/RenderState.h"

namespace kit {

Material::~Material()
{
    if (shaderProgram.resource && shaderProgram->lastMaterial == this)
        shaderProgram->lastMaterial = nullptr;
    if (lastState_) {
        if (lastState_->currentMaterial == this)
            lastState_->currentMaterial = nullptr;
        lastState_->removeUser(this);
    }
}

void Material::setShaderProgram(ResourceHandle<ShaderProgram> program)
{
    if (shaderProgram.resource && shaderProgram->lastMaterial == this)
        shaderProgram->lastMaterial = nullptr;
    shaderProgram = std::move(program);
    changed = true;
}

bool Material::use(RenderState& state, const UniformSet& globals)
{
    if (lastState_ != &state) {
        if (lastState_)
            lastState_->removeUser(this);
        lastState_ = &state;
        state.addUser(this);
    }
    ShaderProgram* program = shaderProgram.get();
    if (!shaderProgram.isLoaded() || !program->linked)
        return false;

    if (state.currentProgram != program) {
        state.useProgram(program, program->id);
        program->lastGlobals = nullptr; // force the globals below
    }
    if (program->lastGlobals != &globals || program->lastGlobalsVersion != globals.version()) {
        for (const auto& [name, value] : globals.values())
            program->setUniform(name, value);
        program->lastGlobals = &globals;
        program->lastGlobalsVersion = globals.version();
        state.countChange();
    }

    for (auto& [sampler, texture] : textures) {
        if (texture.isLoaded())
            program->bindTexture(state, sampler, *texture.resource);
    }

    if (state.currentMaterial == this && program->lastMaterial == this && !changed) {
        state.countSkipped();
        return true;
    }
    if (program->lastMaterial != this) {
        // Values the previous material set and this one does not would linger:
        // put the program's own values back (or zero, when it has none).
        for (const auto& [name, value] : program->lastMaterialValues) {
            if (uniforms.find(name))
                continue;
            const UniformValue* own = program->defaults.find(name);
            program->setUniform(name, own ? *own : zeroLike(value));
        }
    }
    for (const auto& [name, value] : uniforms.values())
        program->setUniform(name, value);
    program->lastMaterial = this;
    program->lastMaterialValues = uniforms.values();
    state.currentMaterial = this;
    changed = false;
    state.countChange();
    return true;
}

} // namespace kit
