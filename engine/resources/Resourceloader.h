#pragma once

#include "AssetPath.h"

#include <memory>
#include <string>

namespace kit {

// The prefix of a path up to and including its last '/' or '\', or "" when it has neither.
std::string directoryOf(const std::string& path);

// Base of every resource loader: a new loader is made for each load. load()
// reads and parses the file and may run on any thread (never OpenGL);
// finish() turns what load() built into OpenGL objects on the main thread.
// The resource exists (default-constructed) from the start, so the cache can
// hand it out before anything is read.
template <class T>
class Resourceloader {
public:
    Resourceloader() : resource(std::make_shared<T>()), target(resource.get()) {}
    virtual ~Resourceloader() = default;

    virtual void load() = 0;
    virtual void finish() = 0;

    // Sets path (as requested), fullPath (asset directory + path) and both
    // directories. A path that leaves the asset directory is refused (one
    // line on standard error): the load then reads nothing and the resource
    // ends as a file that failed to load does.
    void setPath(const std::string& requested, const std::string& assetDirectory)
    {
        path = requested;
        fullPath = assetDirectory + requested;
        directory = directoryOf(path);
        fullDirectory = directoryOf(fullPath);
        refused = !acceptAssetPath(requested);
    }

    std::shared_ptr<T> resource;
    T* target; // the same object, for the loader's own use
    std::string path;
    std::string fullPath;
    std::string directory;
    std::string fullDirectory;
    bool refused = false; // the path leaves the asset directory: nothing is read
};

} // namespace kit
