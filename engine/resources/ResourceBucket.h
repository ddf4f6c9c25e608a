#pragma once

#include "ResourceHandle.h"

#include <istream>
#include <string>
#include <utility>
#include <vector>

namespace kit {

// Resources requested together, so that a loading screen can start them early
// and show how many are done.
class ResourceBucket {
public:
    std::vector<ResourceHandle<void>> entries; // in file order

    [[nodiscard]] int countLoaded() const;
    [[nodiscard]] bool isLoaded() const; // true for an empty bucket
    [[nodiscard]] std::size_t size() const { return entries.size(); }
};

// The (manager name, path) pairs of a bucket file: '[' then pairs of tokens
// (quoted strings or identifiers) up to ']' or the end of the input. Throws
// ParseError when the list does not start with '['.
std::vector<std::pair<std::string, std::string>> parseResourceBucket(std::istream& in);

// Reads assetDirectory + path and requests every entry of a known manager.
// A file that cannot be opened gives an empty bucket and one line on
// standard error; a malformed one, the parser's error.
ResourceBucket loadResourceBucket(const std::string& path);

} // namespace kit
