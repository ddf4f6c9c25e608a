#include "ObjLoader.h"

#include "Material.h"
#include "ResourceManagers.h"
#include "TextFile.h"
#include "VertexBuffer.h"
#include "WavefrontMtlLoader.h"
#include "WordScanner.h"

#include <GL/glew.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace kit {
namespace {

struct Corner {
    std::uint32_t position = 0;
    std::uint32_t uv = 0;
    std::uint32_t normal = 0;
};

template <class T>
const T& at(const std::vector<T>& source, std::uint32_t index)
{
    return index < source.size() ? source[index] : source[0];
}

} // namespace

ObjData parseObj(std::string_view text, const std::string& directory)
{
    ObjData data;
    // One all-zero element first, so that 1-based indices address the arrays
    // directly and a missing index (0) reads zero.
    std::vector<glm::vec3> positions{glm::vec3(0.0f)}, normals{glm::vec3(0.0f)};
    std::vector<glm::vec2> uvs{glm::vec2(0.0f)};
    std::map<std::string, std::vector<Corner>> corners;
    std::vector<Corner>* current = &corners[""];

    WordScanner in(text);
    for (in.skipSpace(); !in.atEnd(); in.nextLine(), in.skipSpace()) {
        const std::string_view keyword = in.word();
        if (keyword == "v") {
            const float x = in.number(), y = in.number(), z = in.number();
            positions.emplace_back(x, y, z);
        } else if (keyword == "vn") {
            const float x = in.number(), y = in.number(), z = in.number();
            normals.emplace_back(x, y, z);
        } else if (keyword == "vt") {
            const float u = in.number(), v = in.number();
            uvs.emplace_back(u, v);
        } else if (keyword == "f") {
            for (int i = 0; i < 3; ++i) {
                Corner c;
                c.position = in.index(true);
                if (in.accept('/')) {
                    if (in.peek() != '/')
                        c.uv = in.index(false);
                    if (in.accept('/'))
                        c.normal = in.index(false);
                }
                current->push_back(c);
            }
        } else if (keyword == "usemtl") {
            current = &corners[std::string(in.word())];
        } else if (keyword == "mtllib") {
            const std::string_view name = in.word();
            if (!name.empty())
                data.materialLibraries.push_back(directory + std::string(name));
        }
    }

    for (const auto& [name, list] : corners) {
        ObjData::Group& group = data.groups[name];
        group.positions.reserve(list.size());
        group.normals.reserve(list.size());
        group.uvs.reserve(list.size());
        for (const Corner& c : list) {
            group.positions.push_back(at(positions, c.position));
            group.normals.push_back(at(normals, c.normal));
            const glm::vec2 uv = at(uvs, c.uv);
            group.uvs.emplace_back(uv.x, 1.0f - uv.y);
        }
    }
    return data;
}

namespace {

// The bits of one corner's values: equal keys draw identically.
using CornerKey = std::array<std::uint32_t, 8>;

struct CornerKeyHash {
    std::size_t operator()(const CornerKey& key) const
    {
        std::uint64_t h = 1469598103934665603ull; // FNV-1a over the words
        for (std::uint32_t word : key)
            h = (h ^ word) * 1099511628211ull;
        return static_cast<std::size_t>(h);
    }
};

} // namespace

IndexedGroup indexVertices(const ObjData::Group& corners)
{
    IndexedGroup out;
    const std::size_t count = std::min({corners.positions.size(), corners.normals.size(), corners.uvs.size()});
    out.indices.reserve(count);
    std::unordered_map<CornerKey, std::uint32_t, CornerKeyHash> seen;
    seen.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const glm::vec3& p = corners.positions[i];
        const glm::vec3& n = corners.normals[i];
        const glm::vec2& t = corners.uvs[i];
        const std::array<float, 8> values{p.x, p.y, p.z, n.x, n.y, n.z, t.x, t.y};
        CornerKey key;
        std::memcpy(key.data(), values.data(), sizeof key);
        const auto [found, added] = seen.try_emplace(key, static_cast<std::uint32_t>(out.vertices.positions.size()));
        if (added) {
            out.vertices.positions.push_back(p);
            out.vertices.normals.push_back(n);
            out.vertices.uvs.push_back(t);
        }
        out.indices.push_back(found->second);
    }
    return out;
}

void objLoader::load()
{
    data = parseObj(readTextFile(fullPath), directory);
    for (auto& [name, group] : data.groups)
        indexed.emplace(name, indexVertices(group));
    data.groups.clear();
    for (const std::string& library : data.materialLibraries)
        lastLibrary = mtlManager().prefetch(library, true);
}

void objLoader::finish()
{
    for (const std::string& library : data.materialLibraries)
        mtlManager().get(library);

    for (const auto& [name, part] : indexed) {
        const ObjData::Group& group = part.vertices;
        if (group.positions.empty())
            continue;
        const std::vector<glm::vec3> zeros(group.positions.size(), glm::vec3(0.0f));
        auto buffer = VertexBuffer::create(standardAttributes());
        buffer->bind(GL_ARRAY_BUFFER);
        buffer->allocate(group.positions.size(), GL_STATIC_DRAW, GL_ARRAY_BUFFER);
        buffer->setAttributeData(GL_ARRAY_BUFFER, group.positions.data(), "pos");
        buffer->setAttributeData(GL_ARRAY_BUFFER, group.normals.data(), "normal");
        buffer->setAttributeData(GL_ARRAY_BUFFER, group.uvs.data(), "UV");
        buffer->setAttributeData(GL_ARRAY_BUFFER, zeros.data(), "tangent");
        buffer->setAttributeData(GL_ARRAY_BUFFER, zeros.data(), "bitangent");
        buffer->setIndices(part.indices);

        std::shared_ptr<Material> material;
        if (lastLibrary.resource) {
            auto found = lastLibrary.resource->find(name);
            if (found != lastLibrary.resource->end())
                material = found->second;
        }
        target->parts.push_back(Mesh::Part{buffer, material ? material : std::make_shared<Material>()});
    }
}

} // namespace kit
