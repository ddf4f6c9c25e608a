#pragma once

#include <string>

namespace kit {
class Model;
}

namespace skyscuffle {

// A model as a match draws it: the detailed mesh of `path` ("x/name.obj"),
// and while it spans fewer pixels on screen than the tuning value
// "tuning.renderer.lowDetailBelowPixels", its light version "x/nameLow.obj"
// (the same shape and texture layout in a few hundred triangles): a match's
// planes are tens of pixels long, and their triangles cost every frame.
kit::Model* matchModel(const std::string& path);

// The path of the light version of a model: "x/name.obj" -> "x/nameLow.obj".
std::string lowDetailPath(const std::string& path);

} // namespace skyscuffle
