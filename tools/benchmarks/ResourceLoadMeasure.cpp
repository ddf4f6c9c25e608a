// Measures resource loading as a loading screen sees it, and the OBJ reader's
// parse rate. Writes its own asset tree into a temporary directory: 10 OBJ
// models (each with an MTL and a texture), 10 PNG textures, 5 shader programs
// (with an include) and 5 material files, all listed in one 30-entry bucket.
// Needs a display (run it under xvfb-run on a machine without one):
//   build/release/tools/benchmarks/resource_load_measure
#include "engine/core/GlfwLibrary.h"
#include "engine/core/Window.h"
#include "engine/core/application/GlewInitError.h"
#include "engine/render/state/RenderState.h"
#include "engine/resources/ObjLoader.h"
#include "engine/resources/ResourceBucket.h"
#include "engine/resources/ResourceManagers.h"

#include <lodepng.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

double milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void writeFile(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

void writePng(const std::filesystem::path& path, unsigned size, unsigned seed)
{
    std::vector<unsigned char> pixels(size * size * 4);
    std::mt19937 random(seed);
    for (unsigned y = 0; y < size; ++y)
        for (unsigned x = 0; x < size; ++x) {
            unsigned char* p = &pixels[(y * size + x) * 4];
            p[0] = static_cast<unsigned char>(x ^ y);
            p[1] = static_cast<unsigned char>(random());
            p[2] = static_cast<unsigned char>(seed * 40);
            p[3] = 255;
        }
    lodepng::encode(path.string(), pixels, size, size);
}

// A wavy grid of `quads` x `quads` cells as an OBJ: two triangles per cell,
// every corner with position, texture coordinate and normal.
std::string gridObj(int quads, const std::string& library, const std::string& material)
{
    std::ostringstream out;
    if (!library.empty())
        out << "mtllib " << library << "\n";
    for (int y = 0; y <= quads; ++y)
        for (int x = 0; x <= quads; ++x)
            out << "v " << x * 0.1f << " " << std::sin(x * 0.3f + y * 0.2f) << " " << y * 0.1f << "\n";
    for (int y = 0; y <= quads; ++y)
        for (int x = 0; x <= quads; ++x)
            out << "vt " << float(x) / quads << " " << float(y) / quads << "\n";
    out << "vn 0 1 0\n";
    if (!material.empty())
        out << "usemtl " << material << "\n";
    const int row = quads + 1;
    for (int y = 0; y < quads; ++y)
        for (int x = 0; x < quads; ++x) {
            const int a = y * row + x + 1, b = a + 1, c = a + row, d = c + 1;
            out << "f " << a << "/" << a << "/1 " << b << "/" << b << "/1 " << d << "/" << d << "/1\n";
            out << "f " << a << "/" << a << "/1 " << d << "/" << d << "/1 " << c << "/" << c << "/1\n";
        }
    return out.str();
}

void writeAssets(const std::filesystem::path& root)
{
    const auto assets = root / "assets";
    writeFile(assets / "shaders/lib/light.glsl", "vec3 light(vec3 n) { return vec3(max(dot(n, vec3(0, 1, 0)), 0.2)); }\n");
    std::string bucket = "[\n";
    for (int i = 0; i < 5; ++i) {
        const std::string name = "program" + std::to_string(i);
        writeFile(assets / ("shaders/" + name + ".vert"),
                  "#version 330 core\nin vec3 pos;\nin vec3 normal;\nin vec2 UV;\nuniform mat4 MVP;\nout vec3 n;\n"
                  "out vec2 uv;\nvoid main() { n = normal; uv = UV; gl_Position = MVP * vec4(pos, 1.0); }\n");
        writeFile(assets / ("shaders/" + name + ".frag"),
                  "#version 330 core\n#include \"lib/light.glsl\"\nin vec3 n;\nin vec2 uv;\nuniform sampler2D diffuseTex;\n"
                  "out vec4 colour;\nvoid main() { colour = texture(diffuseTex, uv) * vec4(light(n), 1.0); }\n");
        writeFile(assets / ("shaders/" + name + ".txt"), "[ { type vertex key \"shaders/" + name +
                                                             ".vert\" } { type fragment key \"shaders/" + name +
                                                             ".frag\" } ]\n");
        bucket += "  shaderProgram \"shaders/" + name + ".txt\"\n";
    }
    writeFile(assets / "shaders/warmup.txt", "[ { type vertex data \"#version 330 core\nvoid main() { gl_Position = "
                                             "vec4(0.0); }\" } { type fragment data \"#version 330 core\nout vec4 c;\n"
                                             "void main() { c = vec4(1.0); }\" } ]\n");
    // The textured program the MTL materials use.
    writeFile(assets / "shaders/texturedShaderProgram.txt",
              "[ { type vertex key \"shaders/program0.vert\" } { type fragment key \"shaders/program0.frag\" } ]\n");
    for (int i = 0; i < 10; ++i) {
        const std::string name = "texture" + std::to_string(i) + ".png";
        writePng(assets / ("textures/" + name), 256, static_cast<unsigned>(i));
        bucket += "  texture \"textures/" + name + "\"\n";
    }
    for (int i = 0; i < 10; ++i) {
        const std::string dir = "models/model" + std::to_string(i) + "/";
        writePng(assets / (dir + "skin.png"), 256, static_cast<unsigned>(100 + i));
        writeFile(assets / (dir + "model.mtl"), "newmtl skin\nKd 1 1 1\nNs 20\nmap_Kd skin.png\n");
        writeFile(assets / (dir + "model.obj"), gridObj(40, "model.mtl", "skin")); // 3,200 triangles
        bucket += "  obj \"" + dir + "model.obj\"\n";
    }
    for (int i = 0; i < 5; ++i) {
        const std::string name = "materials/m" + std::to_string(i) + ".mat";
        writeFile(assets / name, "{ shaderProgram \"shaders/program" + std::to_string(i) +
                                     ".txt\" texture diffuseTex \"textures/texture" + std::to_string(i) +
                                     ".png\" uniforms [ float alpha 1.0 ] }\n");
        bucket += "  material \"" + name + "\"\n";
    }
    writeFile(assets / "buckets/measure.txt", bucket + "]\n");
}

void measureBucket()
{
    kit::GlfwLibrary glfw;
    if (!glfw.ready())
        std::exit(1);
    kit::WindowSettings settings;
    settings.visible = false;
    auto window = kit::Window::open(settings);
    if (!window)
        std::exit(1);
    kit::initializeGlew();
    kit::RenderState state;

    std::streambuf* log = std::cout.rdbuf(nullptr); // the managers' "Prefetching" lines

    // The first program a process compiles also starts the driver's shader
    // compiler (LLVM, under Mesa's software renderer). The game has compiled
    // its menu's shaders long before a loading screen starts, so that cost is
    // measured on its own, on a program outside the bucket.
    const auto warmStart = Clock::now();
    kit::shaderProgramManager().get("shaders/warmup.txt");
    const double warmUp = milliseconds(Clock::now() - warmStart);

    const auto start = Clock::now();
    kit::ResourceBucket bucket = kit::loadResourceBucket("buckets/measure.txt");
    std::vector<double> frames;
    while (!bucket.isLoaded()) {
        const auto before = Clock::now();
        kit::AsyncResourceManagerBase::updateAll(std::chrono::milliseconds(4)); // the game's default budget
        frames.push_back(milliseconds(Clock::now() - before));
        // The rest of a 120 Hz frame, as the game would spend it drawing.
        std::this_thread::sleep_until(before + std::chrono::microseconds(8333));
    }
    const double total = milliseconds(Clock::now() - start);
    std::cout.rdbuf(log);

    std::vector<double> sorted = frames;
    std::sort(sorted.begin(), sorted.end());
    std::printf("first shader program of the process (driver warm-up, outside the bucket): %.1f ms\n", warmUp);
    std::printf("bucket: %zu resources fully loaded in %.1f ms over %zu frames\n", bucket.size(), total, frames.size());
    std::printf("updateAll per frame: median %.3f ms, 95th percentile %.3f ms, max %.3f ms\n",
                sorted[sorted.size() / 2], sorted[sorted.size() * 95 / 100], sorted.back());
    kit::threadPool().shutdown();
}

void measureObjParse()
{
    const std::string text = gridObj(224, "", ""); // 224 * 224 * 2 = 100,352 triangles
    double best = 1e30;
    std::size_t triangles = 0;
    for (int run = 0; run < 5; ++run) {
        const auto before = Clock::now();
        const kit::ObjData data = kit::parseObj(text, "");
        best = std::min(best, milliseconds(Clock::now() - before));
        triangles = data.groups.at("").positions.size() / 3;
    }
    std::printf("OBJ reader: %zu triangles, %.1f MB in %.1f ms: %.1f MB/s\n", triangles, text.size() / 1e6, best,
                text.size() / 1e6 / (best / 1000.0));
}

} // namespace

int main()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "skyscuffle-measure-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return 1;
    const std::filesystem::path root = pattern;
    writeAssets(root);
    std::filesystem::current_path(root);
    measureObjParse();
    measureBucket();
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(root);
}
