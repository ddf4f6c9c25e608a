#include "Texture.h"

#include "ResourceSettings.h"

#include "engine/render/state/SoftwareRenderer.h"

#include <GL/glew.h>

namespace kit {
namespace {

// Trilinear filtering reads twice the texels of filtering within the nearest
// mipmap level. A software renderer pays for each of them on the CPU, and at
// the sizes the game draws its textures the two look alike; a graphics card
// keeps trilinear. "tuning.renderer.trilinear": -1 (the default) decides by
// the first context's renderer (a process has one), 1 always, 0 never.
GLint minifyingFilter()
{
    static const bool software = contextDrawsInSoftware();
    const int chosen = resourceSettings::trilinear.value();
    const bool trilinear = chosen < 0 ? !software : chosen > 0;
    return trilinear ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST;
}

} // namespace

Texture::~Texture()
{
    if (lastState_) {
        lastState_->forgetTexture(id);
        lastState_->removeUser(this);
    }
    if (id != 0 && RenderState::contextAlive())
        glDeleteTextures(1, &id);
}

void Texture::upload(const unsigned char* pixels, unsigned w, unsigned h, const std::vector<MipLevel>* smaller)
{
    if (id == 0)
        glGenTextures(1, &id);
    target = GL_TEXTURE_2D;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(w), static_cast<GLsizei>(h), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels);
    format = GL_RGBA;
    width = static_cast<float>(w);
    height = static_cast<float>(h);
    if (pixels && smaller && !smaller->empty()) {
        GLint level = 0;
        for (const MipLevel& below : *smaller)
            glTexImage2D(GL_TEXTURE_2D, ++level, GL_RGBA, static_cast<GLsizei>(below.width),
                         static_cast<GLsizei>(below.height), 0, GL_RGBA, GL_UNSIGNED_BYTE, below.pixels.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, level);
    } else {
        glGenerateMipmap(GL_TEXTURE_2D);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minifyingFilter());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void Texture::bind(RenderState& state, int unit)
{
    if (target == 0)
        return;
    if (unit == 0 || state.boundTexture(unit) != id) {
        state.recordTexture(unit, id);
        glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
        glBindTexture(target, id);
        state.countChange();
    } else {
        state.countSkipped();
    }
    if (lastState_ != &state) {
        if (lastState_)
            lastState_->removeUser(this);
        lastState_ = &state;
        state.addUser(this);
    }
}

} // namespace kit
