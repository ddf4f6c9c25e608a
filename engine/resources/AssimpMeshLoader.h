#pragma once

#include "ImportedScene.h"
#include "Mesh.h"
#include "Resourceloader.h"

namespace kit {

// Meshes in any format assimp reads; one part per mesh of the file. An import
// failure prints "Error parsing <file>: <reason>" and leaves the mesh empty.
class assimpMeshLoader : public Resourceloader<Mesh> {
public:
    void load() override;
    void finish() override;

    ImportedScene scene;
    bool imported = false;
};

} // namespace kit
