#include "MaterialLoader.h"

#include "ResourceManagers.h"
#include "ShaderProgram.h"
#include "Texture.h"

#include "engine/core/Log.h"
#include "engine/core/ParseError.h"
#include "engine/core/TextParser.h"

#include <fstream>

namespace kit {

void parseMaterial(std::istream& in, MaterialDescription& out)
{
    TextParser parser(in);
    parser.expect('{');
    while (!parser.accept('}')) {
        if (in.peek() == std::char_traits<char>::eof())
            return;
        const std::string key = parser.readString();
        if (key == "shaderProgram") {
            out.shaderProgram = parser.readString();
        } else if (key == "texture") {
            (void)parser.readString(); // the sampler's name: always "diffuseTex"
            out.texture = parser.readString();
        } else if (key == "uniforms") {
            parser.expect('[');
            while (!parser.accept(']')) {
                if (in.peek() == std::char_traits<char>::eof())
                    return;
                const std::string type = parser.readString();
                const std::string name = parser.readString();
                if (type.empty() && name.empty())
                    parser.expect(']'); // neither a token nor the end: a syntax error
                if (type == "int") {
                    out.uniforms.set(name, parser.readInt());
                } else if (type == "float") {
                    out.uniforms.set(name, parser.readFloat());
                } else if (type == "vec3") {
                    parser.expect('[');
                    const float x = parser.readFloat(), y = parser.readFloat(), z = parser.readFloat();
                    parser.expect(']');
                    out.uniforms.set(name, glm::vec3(x, y, z));
                }
            }
        } else if (key.empty()) {
            parser.expect('}'); // neither a token nor the end: a syntax error
            return;
        }
    }
}

void MaterialLoader::load()
{
    MaterialDescription description;
    std::ifstream file(fullPath);
    try {
        parseMaterial(file, description);
    } catch (const ParseError& error) {
        log::error() << fullPath << ": " << error.what();
    }
    if (!description.shaderProgram.empty())
        target->setShaderProgram(shaderProgramManager().prefetch(description.shaderProgram, false));
    if (!description.texture.empty())
        target->setTexture("diffuseTex", textureManager().prefetch(description.texture, false));
    for (const auto& [name, value] : description.uniforms.values())
        target->setUniform(name, value);
}

} // namespace kit
