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

    const bool upToDate = state.currentMaterial == this && program->lastMaterial == this && !changed;
    // Values that an entity drawn since put over the last material's: back to
    // this material's own (uploaded below anyway when it is not up to date),
    // else the renderer's, else the program's, else zero. Checked even when
    // this material is the one last applied: sharing it is what entity values are for.
    for (const ShaderProgram::Uploaded& over : program->overridden) {
        const std::string& name = over.uniform->first;
        const UniformValue* value = uniforms.find(name);
        if (value && !upToDate)
            continue;
        if (!value)
            value = globals.find(name);
        if (!value)
            value = program->defaults.find(name);
        uploadUniform(over.uniform->second.location, value ? *value : over.zero);
    }
    program->overridden.clear();

    if (upToDate) {
        state.countSkipped();
        return true;
    }
    if (program->lastMaterial != this) {
        // Values the previous material set and this one does not would linger:
        // put the program's own values back (or zero, when it has none).
        for (const ShaderProgram::Uploaded& set : program->lastMaterialValues) {
            if (uniforms.find(set.uniform->first))
                continue;
            const UniformValue* own = program->defaults.find(set.uniform->first);
            uploadUniform(set.uniform->second.location, own ? *own : set.zero);
        }
    }
    program->lastMaterialValues.clear();
    for (const auto& [name, value] : uniforms.values()) {
        auto found = program->uniforms.find(name);
        if (found == program->uniforms.end() || found->second.location < 0)
            continue; // not in this program: nothing to send or to put back later
        uploadUniform(found->second.location, value);
        program->lastMaterialValues.push_back(ShaderProgram::Uploaded{&*found, zeroLike(value)});
    }
    program->lastMaterial = this;
    state.currentMaterial = this;
    changed = false;
    state.countChange();
    return true;
}

} // namespace kit
