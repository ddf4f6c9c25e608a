#include "Score.h"

#include "engine/network/stream/NetStream.h"

namespace skyscuffle {

Score::Score()
{
    addClassTags<Score>("score");
}

void Score::serialize(kit::NetStream& stream)
{
    // Written for whoever asks (a replay of old, a tool); a record read from
    // anywhere changes nothing. A copy's points follow, on every copy, from
    // the kill and death calls every copy judges (addDeathPoints): a copy's
    // word about its own points would be a way to award itself any.
    if (stream.writing)
        stream.serialize(points);
}

} // namespace skyscuffle
