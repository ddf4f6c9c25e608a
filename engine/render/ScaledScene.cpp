#include "ScaledScene.h"

#include "engine/core/Log.h"
#include "engine/render/state/RenderState.h"
#include "engine/resources/ShaderCompiler.h"

#include <GL/glew.h>

namespace kit {
namespace {

// One triangle that covers the screen, its texture coordinates 0 .. 1 over
// the visible part.
const char* const vertexSource = R"(#version 330 core
out vec2 uv;
void main()
{
    vec2 corner = vec2(float((gl_VertexID << 1) & 2), float(gl_VertexID & 2));
    uv = corner;
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* const fragmentSource = R"(#version 330 core
in vec2 uv;
uniform sampler2D scene;
out vec4 fragColor;
void main()
{
    fragColor = texture(scene, uv);
}
)";

// A shader of the given stage from source, compiled (a failure is reported
// and shows when the program does not link).
unsigned compiled(GLenum stage, const char* source)
{
    const GLuint shader = glCreateShader(stage);
    compileShader(shader, "", source);
    return shader;
}

} // namespace

ScaledScene::~ScaledScene()
{
    release();
    if (RenderState::contextAlive()) {
        if (program_ != 0)
            glDeleteProgram(program_);
        if (vertexArray_ != 0)
            glDeleteVertexArrays(1, &vertexArray_);
    }
}

void ScaledScene::release()
{
    if (RenderState::contextAlive()) {
        if (framebuffer_ != 0)
            glDeleteFramebuffers(1, &framebuffer_);
        if (colour_ != 0)
            glDeleteTextures(1, &colour_);
        if (depth_ != 0)
            glDeleteRenderbuffers(1, &depth_);
    }
    framebuffer_ = colour_ = depth_ = 0;
    size_ = glm::ivec2(0);
}

bool ScaledScene::makeProgram()
{
    if (program_ != 0)
        return true;
    const unsigned vertex = compiled(GL_VERTEX_SHADER, vertexSource);
    const unsigned fragment = compiled(GL_FRAGMENT_SHADER, fragmentSource);
    program_ = glCreateProgram();
    glAttachShader(program_, vertex);
    glAttachShader(program_, fragment);
    glLinkProgram(program_);
    glDeleteShader(vertex); // the program keeps them while it lives
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(program_, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteProgram(program_);
        program_ = 0;
        return false;
    }
    glGenVertexArrays(1, &vertexArray_);
    return true;
}

bool ScaledScene::makeTarget(glm::ivec2 size)
{
    if (framebuffer_ != 0 && size == size_)
        return true;
    release();
    glGenTextures(1, &colour_);
    glActiveTexture(GL_TEXTURE0); // unit 0 is nobody's (the render state never records it)
    glBindTexture(GL_TEXTURE_2D, colour_);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size.x, size.y, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, size.x, size.y);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour_, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete) {
        release();
        return false;
    }
    size_ = size;
    return true;
}

bool ScaledScene::begin(glm::ivec2 size)
{
    if (failed_ || size.x <= 0 || size.y <= 0)
        return false;
    if (!makeProgram() || !makeTarget(size)) {
        failed_ = true;
        log::warn() << "Cannot draw the scene at a lower resolution here: drawing it at full size";
        return false;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, size.x, size.y);
    return true;
}

void ScaledScene::end(RenderState& state, glm::ivec2 screen)
{
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, screen.x, screen.y);
    state.disable(GL_DEPTH_TEST);
    state.disable(GL_BLEND);
    state.disable(GL_CULL_FACE);
    // Past the render state's cache: the next material puts its own program back.
    glUseProgram(program_);
    state.currentProgram = nullptr;
    state.currentMaterial = nullptr;
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, colour_);
    glUniform1i(glGetUniformLocation(program_, "scene"), 0);
    glBindVertexArray(vertexArray_);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    state.countDraw();
    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace kit
