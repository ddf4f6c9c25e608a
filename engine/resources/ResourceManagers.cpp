#include "ResourceManagers.h"

#include "AnimatedMesh.h"
#include "AssimpAnimatedMeshLoader.h"
#include "AssimpMeshLoader.h"
#include "Material.h"
#include "MaterialLoader.h"
#include "ShaderLoader.h"
#include "ShaderProgram.h"
#include "ShaderProgramLoader.h"
#include "Texture.h"
#include "TextureLoader.h"
#include "WavefrontMtlLoader.h"

namespace kit {

template class AsyncResourceManager<MaterialLibrary, wavefrontMtlLoader>;
template class AsyncResourceManager<Mesh, objLoader>;
template class AsyncResourceManager<ShaderProgram, ShaderProgramLoader>;
template class AsyncResourceManager<Texture, TextureLoader>;
template class AsyncResourceManager<Material, MaterialLoader>;
template class AsyncResourceManager<Mesh, assimpMeshLoader>;
template class AsyncResourceManager<AnimatedMesh, assimpAnimatedMeshLoader>;
template class AsyncResourceManager<Shader, ShaderLoader<stage::vertex>>;
template class AsyncResourceManager<Shader, ShaderLoader<stage::fragment>>;
template class AsyncResourceManager<Shader, ShaderLoader<stage::geometry>>;
template class AsyncResourceManager<Shader, ShaderLoader<stage::tessControl>>;
template class AsyncResourceManager<Shader, ShaderLoader<stage::tessEvaluation>>;

namespace {

// Members are constructed in declaration order, which is the registry order.
struct Managers {
    // Loads still queued at exit finish while every manager is still there.
    ~Managers() { threadPool().shutdown(); }

    MtlManager mtl{"mtl"};
    ObjManager obj{"obj"};
    ShaderProgramManager shaderProgram{"shaderProgram"};
    TextureManager texture{"texture"};
    MaterialManager material{"material"};
    MeshManager mesh{"mesh"};
    AnimatedMeshManager animatedMesh{"animatedMesh"};
    ShaderManager<stage::vertex> vertexShader{"vertexShader"};
    ShaderManager<stage::fragment> fragmentShader{"fragmentShader"};
    ShaderManager<stage::geometry> geometryShader{"geometryShader"};
    ShaderManager<stage::tessControl> tessControlShader{"tessControlShader"};
    ShaderManager<stage::tessEvaluation> tessEvaluationShader{"tessEvaluationShader"};
};

Managers& managers()
{
    // The pool first, so that it is destroyed after the managers.
    threadPool();
    static Managers all;
    return all;
}

} // namespace

void ensureResourceManagers()
{
    managers();
}

MtlManager& mtlManager() { return managers().mtl; }
ObjManager& objManager() { return managers().obj; }
ShaderProgramManager& shaderProgramManager() { return managers().shaderProgram; }
TextureManager& textureManager() { return managers().texture; }
MaterialManager& materialManager() { return managers().material; }
MeshManager& meshManager() { return managers().mesh; }
AnimatedMeshManager& animatedMeshManager() { return managers().animatedMesh; }
ShaderManager<stage::vertex>& vertexShaderManager() { return managers().vertexShader; }
ShaderManager<stage::fragment>& fragmentShaderManager() { return managers().fragmentShader; }
ShaderManager<stage::geometry>& geometryShaderManager() { return managers().geometryShader; }
ShaderManager<stage::tessControl>& tessControlShaderManager() { return managers().tessControlShader; }
ShaderManager<stage::tessEvaluation>& tessEvaluationShaderManager() { return managers().tessEvaluationShader; }

} // namespace kit
