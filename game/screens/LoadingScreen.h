#pragma once

#include "engine/core/World.h"

#include <string>

namespace kit {
class ResourceBucket;
}

namespace skyscuffle {

// The setup function of the loading screen: loads the resource bucket at
// `bucketPath` behind a percentage, then shows `nextWorld` once everything
// is loaded, at the first key or joystick button or by itself after
// "tuning.loadingScreen.delay" seconds (default 5). A bucket that cannot be
// read counts as loaded at once.
struct LoadingScreenInitializer {
    std::string bucketPath;
    kit::World::SetupFunction nextWorld;

    void operator()(kit::World* world) const;
};

// Requests every resource of a bucket file. A file that cannot be read or
// parsed gives an empty bucket, with one line on standard error.
kit::ResourceBucket requestBucket(const std::string& path);

// The percentage as the screen shows it: the whole percent right-aligned in
// three characters, then "%" ("  0%", " 42%", "100%").
std::string loadingPercent(float progress);

} // namespace skyscuffle
