#pragma once

#include "TextureCoverage.h"

#include "engine/render/state/RenderState.h"

namespace kit {

// A 2D texture. `target` is 0 until the image has been uploaded, and a texture
// without a target is never bound.
class Texture final : public RenderStateUser {
public:
    Texture() = default;
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;
    ~Texture();

    // Binds to a texture unit unless the render state records it there already.
    void bind(RenderState& state, int unit);
    // Uploads RGBA8 pixels (rows first row first) with a full mipmap chain.
    void upload(const unsigned char* pixels, unsigned width, unsigned height);

    void renderStateGone() override { lastState_ = nullptr; }

    unsigned id = 0;
    unsigned format = 0;
    unsigned target = 0;
    float width = 0.0f; // pixels
    float height = 0.0f;
    // Where the image shows anything (from its loader; unknown otherwise).
    TextureCoverage coverage;

private:
    RenderState* lastState_ = nullptr; // forgets our bindings when we go
};

} // namespace kit
