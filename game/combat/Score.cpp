#include "Score.h"

#include "engine/network/stream/NetStream.h"

Score::Score()
{
    addClassTags<Score>("score");
}

void Score::serialize(kit::NetStream& stream)
{
    stream.serialize(points);
}
