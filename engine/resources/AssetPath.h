#pragma once

#include <string_view>

namespace kit {

// Whether a resource name stays inside the directory it is relative to (the
// asset directory): not absolute, no backslash, no NUL, and no ".." segment
// that climbs above where the name starts ("models/a/../b.png" stays inside;
// "../b.png" and "models/../../b.png" do not). Names come from asset files,
// and through the game, from peers: whoever asks, nothing outside is opened.
[[nodiscard]] bool staysInAssets(std::string_view path);

// The same; a name that leaves costs one line on standard error, which
// shows the name with anything unprintable replaced.
bool acceptAssetPath(std::string_view path);

} // namespace kit
