#pragma once

#include "DrawItem.h"

#include <cstddef>
#include <span>
#include <vector>

namespace kit {

class RenderState;
class UniformSet;

// Draws a batch of copies of one single-part mesh that share a material and
// state (DrawBatcher) with one glDrawArraysInstanced through the material's
// instanced program. What each copy would have had as uniforms ("MVP",
// "MV", "M", "V" from its matrix and the camera; any other name from the
// copy's own values, else the material's, the renderer's globals, the
// program's, else zero) goes per copy into a streamed vertex buffer read
// by the inputs of the same names. Copies are drawn in the batch's order, so
// they land one over another as separate draws would. Owns that buffer.
// Main thread only.
class InstancedDraw {
public:
    InstancedDraw();
    InstancedDraw(const InstancedDraw&) = delete;
    InstancedDraw& operator=(const InstancedDraw&) = delete;
    ~InstancedDraw();

    // False, having drawn nothing, when the batch cannot be drawn this way
    // (then its items are to be drawn one by one).
    bool draw(RenderState& state, const UniformSet& globals, const std::vector<DrawItem>& items,
              std::span<const std::size_t> batch);

private:
    struct Input {
        int location = -1;
        int columns = 1;        // a matrix takes one location per column
        int components = 1;     // floats per column
        std::size_t offset = 0; // in floats, within one copy's record
        const std::string* name = nullptr;
    };

    void writeCopy(const DrawItem& item, const RenderState& state, const UniformSet& globals, float* out) const;

    unsigned buffer_ = 0;
    std::vector<float> data_;
    std::vector<Input> inputs_;
};

} // namespace kit
