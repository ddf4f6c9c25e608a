#pragma once

#include "AssimpAnimatedMeshLoader.h"
#include "AssimpMeshLoader.h"
#include "AsyncResourceManager.h"
#include "MaterialLoader.h"
#include "ObjLoader.h"
#include "Shader.h"
#include "ShaderLoader.h"
#include "ShaderProgramLoader.h"
#include "TextureLoader.h"
#include "WavefrontMtlLoader.h"

namespace kit {

using MtlManager = AsyncResourceManager<MaterialLibrary, wavefrontMtlLoader>;
using ObjManager = AsyncResourceManager<Mesh, objLoader>;
using ShaderProgramManager = AsyncResourceManager<ShaderProgram, ShaderProgramLoader>;
using TextureManager = AsyncResourceManager<Texture, TextureLoader>;
using MaterialManager = AsyncResourceManager<Material, MaterialLoader>;
using MeshManager = AsyncResourceManager<Mesh, assimpMeshLoader>;
using AnimatedMeshManager = AsyncResourceManager<AnimatedMesh, assimpAnimatedMeshLoader>;
template <unsigned Stage>
using ShaderManager = AsyncResourceManager<Shader, ShaderLoader<Stage>>;

// The process's resource managers, made together on first use in this order:
// "mtl", "obj", "shaderProgram", "texture", "material", "mesh",
// "animatedMesh", "vertexShader", "fragmentShader", "geometryShader",
// "tessControlShader", "tessEvaluationShader" (the order of updateAll).
void ensureResourceManagers();

MtlManager& mtlManager();
ObjManager& objManager();
ShaderProgramManager& shaderProgramManager();
TextureManager& textureManager();
MaterialManager& materialManager();
MeshManager& meshManager();
AnimatedMeshManager& animatedMeshManager();
ShaderManager<stage::vertex>& vertexShaderManager();
ShaderManager<stage::fragment>& fragmentShaderManager();
ShaderManager<stage::geometry>& geometryShaderManager();
ShaderManager<stage::tessControl>& tessControlShaderManager();
ShaderManager<stage::tessEvaluation>& tessEvaluationShaderManager();

} // namespace kit
