#include "AssimpMeshLoader.h"

#include <iostream>

namespace kit {

void assimpMeshLoader::load()
{
    std::string error;
    imported = importScene(fullPath, false, scene, error);
    if (!imported)
        std::cout << "Error parsing " << fullPath << ": " << error << "\n";
}

void assimpMeshLoader::finish()
{
    if (imported)
        buildMeshParts(scene, directory, "shaders/texturedShaderProgram.txt", *target);
}

} // namespace kit
