#include "WavefrontMtlLoader.h"

#include "Material.h"
#include "ResourceManagers.h"
#include "ShaderProgram.h"
#include "TextFile.h"
#include "Texture.h"
#include "WordScanner.h"

namespace kit {
namespace {

const std::string texturedProgram = "shaders/texturedShaderProgram.txt";

} // namespace

std::vector<MtlEntry> parseMtl(std::string_view text)
{
    std::vector<MtlEntry> entries;
    WordScanner in(text);
    auto colour = [&in] {
        const float r = in.number(), g = in.number(), b = in.number();
        return glm::vec3(r, g, b);
    };
    for (in.skipSpace(); !in.atEnd(); in.nextLine(), in.skipSpace()) {
        const std::string_view keyword = in.word();
        if (keyword == "newmtl") {
            entries.push_back(MtlEntry{std::string(in.word()), {}, {}, {}});
            continue;
        }
        if (entries.empty())
            continue; // nothing to describe yet
        MtlEntry& m = entries.back();
        if (keyword == "Ka")
            m.uniforms.set("mat_ambient", colour());
        else if (keyword == "Kd")
            m.uniforms.set("mat_diffuse", colour());
        else if (keyword == "Ks")
            m.uniforms.set("mat_specular", colour());
        else if (keyword == "Ns")
            m.uniforms.set("mat_shininess", in.number());
        else if (keyword == "map_Kd")
            m.diffuseTexture = std::string(in.word());
        else if (keyword == "map_Ks")
            m.specularTexture = std::string(in.word());
    }
    return entries;
}

void wavefrontMtlLoader::load()
{
    for (const MtlEntry& entry : parseMtl(readTextFile(fullPath))) {
        auto material = std::make_shared<Material>();
        material->setShaderProgram(shaderProgramManager().prefetch(texturedProgram, true));
        material->setUniform("usingDiffuseTex", false);
        material->setUniform("usingSpecularTex", false);
        for (const auto& [name, value] : entry.uniforms.values())
            material->setUniform(name, value);

        auto useTexture = [&](const std::string& file, const char* sampler, const char* flag, const char* colour) {
            if (file.empty())
                return;
            const std::string texturePath = directory + file;
            material->setTexture(sampler, textureManager().prefetch(texturePath, true));
            material->setUniform(flag, true);
            texturePaths.push_back(texturePath);
            // A texture under a black colour would not show: the colour becomes white.
            const glm::vec3* set = material->uniform<glm::vec3>(colour);
            if (!set || *set == glm::vec3(0.0f))
                material->setUniform(colour, glm::vec3(1.0f));
        };
        useTexture(entry.diffuseTexture, "diffuseTex", "usingDiffuseTex", "mat_diffuse");
        useTexture(entry.specularTexture, "specularTex", "usingSpecularTex", "mat_specular");

        const float* shininess = material->uniform<float>("mat_shininess");
        if (!shininess || *shininess == 0.0f)
            material->setUniform("mat_shininess", 10.0f);

        (*target)[entry.name] = material;
    }
}

void wavefrontMtlLoader::finish()
{
    shaderProgramManager().get(texturedProgram);
    for (const std::string& texturePath : texturePaths)
        textureManager().get(texturePath);
}

} // namespace kit
