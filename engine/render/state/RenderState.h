#pragma once

#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>

#include <cstdint>
#include <map>
#include <set>
#include <vector>

namespace kit {

class Material;
class ShaderProgram;

// Something that remembers the render state it last used (textures do) and
// must hear when that state goes away.
class RenderStateUser {
public:
    virtual void renderStateGone() = 0;

protected:
    ~RenderStateUser() = default;
};

// The OpenGL state cache: one per context, shared by every renderer. It
// remembers what it has set and calls OpenGL only when something changes.
// OpenGL enumerants and names are passed as plain integers (GLenum, GLuint)
// so that users need not see OpenGL's headers. Main thread only.
class RenderState {
public:
    // Needs the context current; marks it alive until destruction.
    RenderState();
    RenderState(const RenderState&) = delete;
    RenderState& operator=(const RenderState&) = delete;
    ~RenderState();

    // Whether an OpenGL context is alive (a RenderState exists): OpenGL
    // objects destroyed after it (resource caches at exit) skip their delete calls.
    static bool contextAlive();

    void enable(unsigned capability);
    void disable(unsigned capability);
    // The recorded state; false for a capability never set through here.
    [[nodiscard]] bool isEnabled(unsigned capability) const;

    void setBlendFunc(unsigned source, unsigned destination);

    // Makes a program current (glUseProgram) unless it already is.
    void useProgram(ShaderProgram* program, unsigned id);

    // Texture unit records. Unit 0 is never recorded (it reads as 0).
    [[nodiscard]] int textureUnitCount() const { return static_cast<int>(units_.size()); }
    [[nodiscard]] unsigned boundTexture(int unit) const;
    void recordTexture(int unit, unsigned textureId);
    // The unit on which the texture is recorded, or -1.
    [[nodiscard]] int unitWithTexture(unsigned textureId) const;
    // Forgets every unit record of a texture (it is being deleted).
    void forgetTexture(unsigned textureId);

    void addUser(RenderStateUser* user) { users_.insert(user); }
    void removeUser(RenderStateUser* user) { users_.erase(user); }

    // OpenGL calls made through the cache and calls it found redundant, and
    // the draw calls made by the renderables (one instanced draw counts once).
    struct Counters {
        std::uint64_t stateChanges = 0;
        std::uint64_t skipped = 0;
        std::uint64_t drawCalls = 0;
    };
    [[nodiscard]] const Counters& counters() const { return counters_; }
    void resetCounters() { counters_ = {}; }
    void countChange() { ++counters_.stateChanges; }
    void countSkipped() { ++counters_.skipped; }
    void countDraw() { ++counters_.drawCalls; }

    glm::mat4 view{1.0f};
    glm::mat4 projection{1.0f};
    // The size in pixels of what the renderer draws into now (set by it each
    // pass); 0 when unknown.
    glm::ivec2 viewport{0};
    // Whether the context draws in software (llvmpipe and its kin), where
    // every pixel costs CPU time; from the renderer's name when made.
    bool softwareRenderer = false;
    ShaderProgram* currentProgram = nullptr;
    Material* currentMaterial = nullptr;
    unsigned blendSrc = 0;
    unsigned blendDst = 0;

private:
    std::map<unsigned, bool> capabilities_;
    std::vector<unsigned> units_;
    std::set<RenderStateUser*> users_;
    Counters counters_;
    bool blendKnown_ = false;
};

} // namespace kit
