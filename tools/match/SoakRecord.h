#pragma once

#include <cstddef>
#include <vector>

namespace kit {
class World;
}

// What several matches in a row leave behind: the lobby's entity and
// component counts before each match (they should come back to the first
// lobby's) and the resident memory after each match (after the second it
// should stay within 5%: the first matches fill caches, pools and the
// allocator's free lists).
class SoakRecord {
public:
    // Prints and keeps the lobby's counts before a match.
    void lobby(int match, const kit::World& world);
    // Prints and keeps the resident memory after a match.
    void afterMatch(int match, double residentMegabytes);
    // Prints the comparison once there were several matches; false when the
    // counts did not come back or the memory grew by more than the bound.
    [[nodiscard]] bool verdict() const;

    static constexpr double memoryGrowthLimit = 0.05;

private:
    struct Counts {
        std::size_t entities = 0;
        std::size_t components = 0;
    };
    std::vector<Counts> lobbies_;
    std::vector<double> memory_;
};
