#include "ClearScreen.h"

#include <GL/glew.h>

#include <limits>

namespace skyscuffle {

ClearScreen::ClearScreen(glm::vec3 color) : color(color)
{
    addTag(kit::tagId("renderer"));
    addClassTags<ClearScreen>("clearScreen");
    setRenderPriority(std::numeric_limits<float>::lowest()); // before anything draws
}

void ClearScreen::render(float)
{
    glClearColor(color.r, color.g, color.b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

} // namespace skyscuffle
