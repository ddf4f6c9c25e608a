#include "RenderState.h"

#include "SoftwareRenderer.h"

#include <GL/glew.h>

#include <algorithm>

namespace kit {
namespace {

int liveStates = 0;

} // namespace

RenderState::RenderState()
{
    GLint units = 0;
    glGetIntegerv(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS, &units);
    units_.assign(static_cast<std::size_t>(std::max(units, 1)), 0u);
    softwareRenderer = contextDrawsInSoftware();
    ++liveStates;
}

RenderState::~RenderState()
{
    --liveStates;
    const std::set<RenderStateUser*> users = users_;
    for (RenderStateUser* user : users)
        user->renderStateGone();
}

bool RenderState::contextAlive()
{
    return liveStates > 0;
}

void RenderState::enable(unsigned capability)
{
    auto [it, added] = capabilities_.try_emplace(capability, true);
    if (!added && it->second) {
        countSkipped();
        return;
    }
    it->second = true;
    glEnable(capability);
    countChange();
}

void RenderState::disable(unsigned capability)
{
    auto [it, added] = capabilities_.try_emplace(capability, false);
    if (!added && !it->second) {
        countSkipped();
        return;
    }
    it->second = false;
    glDisable(capability);
    countChange();
}

bool RenderState::isEnabled(unsigned capability) const
{
    auto found = capabilities_.find(capability);
    return found != capabilities_.end() && found->second;
}

void RenderState::setBlendFunc(unsigned source, unsigned destination)
{
    if (blendKnown_ && blendSrc == source && blendDst == destination) {
        countSkipped();
        return;
    }
    blendKnown_ = true;
    blendSrc = source;
    blendDst = destination;
    glBlendFunc(source, destination);
    countChange();
}

void RenderState::useProgram(ShaderProgram* program, unsigned id)
{
    if (currentProgram == program) {
        countSkipped();
        return;
    }
    currentProgram = program;
    glUseProgram(id);
    countChange();
}

unsigned RenderState::boundTexture(int unit) const
{
    if (unit <= 0 || unit >= textureUnitCount())
        return 0;
    return units_[static_cast<std::size_t>(unit)];
}

void RenderState::recordTexture(int unit, unsigned textureId)
{
    if (unit > 0 && unit < textureUnitCount())
        units_[static_cast<std::size_t>(unit)] = textureId;
}

int RenderState::unitWithTexture(unsigned textureId) const
{
    if (textureId == 0)
        return -1;
    for (int unit = 1; unit < textureUnitCount(); ++unit) {
        if (units_[static_cast<std::size_t>(unit)] == textureId)
            return unit;
    }
    return -1;
}

void RenderState::forgetTexture(unsigned textureId)
{
    for (unsigned& bound : units_) {
        if (bound == textureId)
            bound = 0;
    }
}

} // namespace kit
