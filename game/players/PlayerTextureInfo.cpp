#include "PlayerTextureInfo.h"

#include "engine/network/stream/NetStream.h"

namespace skyscuffle {

void serialize(kit::NetStream& stream, PlayerTextureInfo& info)
{
    stream.serialize(info.colourName);
    stream.serialize(info.modelTexture);
    stream.serialize(info.hudIcon);
    stream.serialize(info.colour);
}

} // namespace skyscuffle
