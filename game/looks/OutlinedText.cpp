#include "OutlinedText.h"

#include "engine/core/World.h"
#include "engine/render/Text.h"
#include "engine/resources/ResourceManagers.h"
#include "engine/resources/ShaderProgram.h"
#include "engine/resources/Texture.h"

#include <algorithm>

namespace skyscuffle {

namespace {

const char* const outlinedFont = "fonts/UbuntuMono.png";
const glm::vec3 outlineColour(0.06f, 0.07f, 0.14f); // the dark navy of the menu words' outlines

} // namespace

kit::Text* addOutlinedText(kit::World& world, kit::EntityHandle entity, const std::string& words, glm::vec2 origin,
                           float size, glm::vec3 colour, float layer, bool outlined)
{
    kit::shaderProgramManager().get("shaders/colorizedTextShader.txt");
    const auto font = kit::textureManager().getHandle(outlinedFont);
    if (outlined) {
        const float o = std::max(0.0035f, size * 0.045f);
        const glm::vec2 shifts[4] = {{o, -o}, {-o, -o}, {o, o}, {-o, o}};
        for (const glm::vec2 shift : shifts) {
            auto* outline =
                world.emplaceComponent<kit::Text>(entity, font, words, outlineColour, glm::vec3(origin + shift, 0.0f),
                                                  kit::ResourceHandle<kit::ShaderProgram>{}, size);
            outline->noDepth = true;
            outline->setRenderPriority(layer - 0.5f);
        }
    }
    auto* text = world.emplaceComponent<kit::Text>(entity, font, words, colour, glm::vec3(origin, 0.0f),
                                                   kit::ResourceHandle<kit::ShaderProgram>{}, size);
    text->noDepth = true;
    text->setRenderPriority(layer);
    return text;
}

void setOutlinedText(kit::Text* text, const std::string& words)
{
    if (!text || !text->world)
        return;
    const auto* siblings = text->world->componentsOf(text->entityId);
    if (!siblings)
        return;
    for (kit::Component* c : *siblings) {
        if (c->hasTag(kit::typeId<kit::Text>()))
            static_cast<kit::Text*>(c)->setText(words);
    }
}

} // namespace skyscuffle
