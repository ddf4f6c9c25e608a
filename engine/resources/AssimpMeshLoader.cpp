#include "AssimpMeshLoader.h"

#include "engine/core/Log.h"

namespace kit {

void assimpMeshLoader::load()
{
    std::string error;
    imported = importScene(fullPath, false, scene, error);
    if (!imported)
        log::info() << "Error parsing " << fullPath << ": " << error;
}

void assimpMeshLoader::finish()
{
    if (imported)
        buildMeshParts(scene, directory, "shaders/texturedShaderProgram.txt", *target);
}

} // namespace kit
