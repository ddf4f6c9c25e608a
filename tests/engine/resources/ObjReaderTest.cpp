// The OBJ reader checked against a second, independent reader: assimp's.
#include "engine/resources/ObjLoader.h"
#include "support/TempDirectory.h"

#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

using Triangle = std::array<float, 9>;

std::vector<Triangle> triangles(const std::vector<glm::vec3>& positions)
{
    std::vector<Triangle> out;
    for (std::size_t i = 0; i + 2 < positions.size(); i += 3)
        out.push_back({positions[i].x, positions[i].y, positions[i].z, positions[i + 1].x, positions[i + 1].y,
                       positions[i + 1].z, positions[i + 2].x, positions[i + 2].y, positions[i + 2].z});
    std::sort(out.begin(), out.end());
    return out;
}

// assimp's triangles per material name; faces without a material are its default one.
std::map<std::string, std::vector<Triangle>> assimpTriangles(const std::string& file)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(file, aiProcess_Triangulate);
    EXPECT_NE(scene, nullptr) << importer.GetErrorString();
    std::map<std::string, std::vector<Triangle>> groups;
    if (!scene)
        return groups;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
        const aiMesh& mesh = *scene->mMeshes[m];
        std::string name = scene->mMaterials[mesh.mMaterialIndex]->GetName().C_Str();
        if (name == AI_DEFAULT_MATERIAL_NAME)
            name = "";
        std::vector<glm::vec3> corners;
        for (unsigned f = 0; f < mesh.mNumFaces; ++f)
            for (unsigned c = 0; c < mesh.mFaces[f].mNumIndices; ++c) {
                const aiVector3D& p = mesh.mVertices[mesh.mFaces[f].mIndices[c]];
                corners.emplace_back(p.x, p.y, p.z);
            }
        auto t = triangles(corners);
        auto& group = groups[name];
        group.insert(group.end(), t.begin(), t.end());
        std::sort(group.begin(), group.end());
    }
    return groups;
}

class ObjReader : public test::InTempDirectory {
protected:
    kit::ObjData parse(const std::string& name, const std::string& text)
    {
        write(name, text);
        return kit::parseObj(text, "");
    }
};

const char* cube = R"(# two materials, every corner form
mtllib cube.mtl
v 0 0 0
v 1 0 0
v 1 1 0
v 0 1 0
v 0 0 1
v 1 0 1
vt 0.25 0.75
vt 1 0
vn 0 0 1
vn 0 1 0
usemtl red
f 1 2 3
f 1//1 3//1 4//1
f 5/1 6/2 2/1
usemtl blue
f 1/1/2 2/2/2 6/2/2
usemtl red
f 4 3 6
)";

} // namespace

TEST_F(ObjReader, AgreesWithAssimpPerMaterialGroup)
{
    write("cube.mtl", "newmtl red\nKd 1 0 0\nnewmtl blue\nKd 0 0 1\n");
    const kit::ObjData data = parse("cube.obj", cube);
    const auto reference = assimpTriangles("cube.obj");
    ASSERT_EQ(data.groups.size(), 3u); // "" holds no face here
    EXPECT_TRUE(data.groups.at("").positions.empty());
    for (const char* name : {"red", "blue"})
        EXPECT_EQ(triangles(data.groups.at(name).positions), reference.at(name)) << "group '" << name << "'";
    EXPECT_EQ(data.materialLibraries, std::vector<std::string>{"cube.mtl"});
}

TEST_F(ObjReader, CornerFormsFillWhatTheyName)
{
    const kit::ObjData data = parse("forms.obj", cube);
    const auto& red = data.groups.at("red");
    EXPECT_EQ(red.normals[0], glm::vec3(0.0f)); // bare indices
    EXPECT_EQ(red.uvs[0], glm::vec2(0.0f, 1.0f)); // no coordinate: (0, 1 - 0)
    EXPECT_EQ(red.normals[3], glm::vec3(0, 0, 1)); // v//n
    EXPECT_EQ(red.uvs[3], glm::vec2(0.0f, 1.0f));
    EXPECT_EQ(red.uvs[6], glm::vec2(0.25f, 0.25f)); // v/t: (0.25, 1 - 0.75)
    EXPECT_EQ(red.normals[6], glm::vec3(0.0f));
    // Groups come ordered by material name, not by file order.
    std::vector<std::string> order;
    for (const auto& [name, group] : data.groups)
        order.push_back(name);
    EXPECT_EQ(order, (std::vector<std::string>{"", "blue", "red"}));
}

TEST_F(ObjReader, QuadsGiveTheirFirstTriangle)
{
    const std::string quad = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n";
    const kit::ObjData data = parse("quad.obj", quad);
    const auto ours = triangles(data.groups.at("").positions);
    const auto theirs = assimpTriangles("quad.obj").at("");
    ASSERT_EQ(ours.size(), 1u);
    ASSERT_EQ(theirs.size(), 2u);
    EXPECT_TRUE(std::find(theirs.begin(), theirs.end(), ours[0]) != theirs.end());
}

TEST_F(ObjReader, FacesNeedNoUsemtlAndTwoLibrariesAreBothNamed)
{
    const kit::ObjData bare = parse("bare.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 1\nf 1 2 3\nf 2 4 3\n");
    EXPECT_EQ(triangles(bare.groups.at("").positions), assimpTriangles("bare.obj").at(""));

    const kit::ObjData data = parse("two.obj", "mtllib a.mtl\nmtllib b.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    EXPECT_EQ(data.materialLibraries, (std::vector<std::string>{"a.mtl", "b.mtl"}));
    EXPECT_EQ(data.groups.at("").positions.size(), 3u);
    EXPECT_EQ(kit::parseObj("mtllib x.mtl\n", "models/plane/").materialLibraries[0], "models/plane/x.mtl");
}

TEST_F(ObjReader, IndicesBeyondTheirArraysReadZero)
{
    const kit::ObjData data = kit::parseObj("v 1 2 3\nvt 0.5 0.5\nf 1/1/9 70000/2 4000000000//1\nf -1 x 2\n", "");
    const auto& group = data.groups.at("");
    ASSERT_EQ(group.positions.size(), 6u);
    EXPECT_EQ(group.positions[0], glm::vec3(1, 2, 3));
    EXPECT_EQ(group.positions[1], glm::vec3(0.0f));
    EXPECT_EQ(group.uvs[1], glm::vec2(0.0f, 1.0f));
    EXPECT_EQ(group.normals[0], glm::vec3(0.0f));
    EXPECT_EQ(group.positions[3], glm::vec3(0.0f)); // "-1" and "x" are no indices
}

// Indexing keeps every corner exactly as read and stores a corner once only
// when position, normal and texture coordinates all agree.
TEST_F(ObjReader, IndexingStoresEqualCornersOnceAndRebuildsEveryCorner)
{
    const std::string text = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\nvn 0 0 1\nvn 0 0 -1\nvt 0 0\nvt 1 1\n"
                             "f 1/1/1 2/1/1 3/1/1\nf 2/1/1 4/1/1 3/1/1\n" // two shared corners
                             "f 1/2/1 2/1/2 3/1/1\n";                     // same positions, new uv or normal
    const kit::ObjData data = parse("shared.obj", text);
    const auto& corners = data.groups.at("");
    const kit::IndexedGroup indexed = kit::indexVertices(corners);
    ASSERT_EQ(indexed.indices.size(), corners.positions.size());
    EXPECT_EQ(indexed.vertices.positions.size(), 6u); // 4 + corner 1 with uv 2 + corner 2 with normal 2
    EXPECT_EQ(indexed.vertices.normals.size(), indexed.vertices.positions.size());
    EXPECT_EQ(indexed.vertices.uvs.size(), indexed.vertices.positions.size());
    for (std::size_t i = 0; i < indexed.indices.size(); ++i) {
        const std::uint32_t v = indexed.indices[i];
        ASSERT_LT(v, indexed.vertices.positions.size());
        EXPECT_EQ(indexed.vertices.positions[v], corners.positions[i]) << "corner " << i;
        EXPECT_EQ(indexed.vertices.normals[v], corners.normals[i]) << "corner " << i;
        EXPECT_EQ(indexed.vertices.uvs[v], corners.uvs[i]) << "corner " << i;
    }
    EXPECT_EQ(indexed.indices[3], indexed.indices[1]); // corner 2 of the second face is the first's
    EXPECT_EQ(indexed.indices[5], indexed.indices[2]);
    EXPECT_TRUE(kit::indexVertices(kit::ObjData::Group{}).indices.empty());
}
