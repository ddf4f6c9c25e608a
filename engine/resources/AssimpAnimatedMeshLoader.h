#pragma once

#include "AnimatedMesh.h"
#include "ImportedScene.h"
#include "Resourceloader.h"

namespace kit {

// Skinned meshes with their skeleton and first animation, through assimp.
// Every vertex keeps its four strongest bones ("index", 4 ints) and their
// weights ("weight", 4 floats, summing to 1). The segment "default" plays all
// frames in a loop.
class assimpAnimatedMeshLoader : public Resourceloader<AnimatedMesh> {
public:
    void load() override;
    void finish() override;

    ImportedScene scene;
    bool imported = false;
};

} // namespace kit
