#include "Score.h"

#include "engine/network/stream/NetStream.h"

namespace skyscuffle {

Score::Score()
{
    addClassTags<Score>("score");
}

void Score::serialize(kit::NetStream& stream)
{
    if (stream.writing) {
        stream.serialize(points);
        return;
    }
    // Two points a kill: a score beyond a million is no match's.
    constexpr std::int32_t most = 1000000;
    std::int32_t received = 0;
    if (stream.read(received) && received >= -most && received <= most)
        points = received;
}

} // namespace skyscuffle
