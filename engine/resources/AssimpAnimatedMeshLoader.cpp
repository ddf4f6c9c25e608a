#include "AssimpAnimatedMeshLoader.h"

#include "engine/core/Log.h"

namespace kit {

void assimpAnimatedMeshLoader::load()
{
    std::string error;
    imported = importScene(fullPath, true, scene, error);
    if (!imported) {
        log::info() << "Error parsing " << fullPath << ": " << error;
    }
}

void assimpAnimatedMeshLoader::finish()
{
    if (!imported)
        return;
    // Filled here, on the main thread, where the mesh's users read it.
    target->skeleton = std::move(scene.skeleton);
    target->addSegment("default", 0, static_cast<int>(target->skeleton.frames.size()), true, 1.0f);
    // Drawn skinned: the program reads each vertex's bones and weights.
    buildMeshParts(scene, directory, "shaders/skinnedShader.txt", target->mesh);
}

} // namespace kit
