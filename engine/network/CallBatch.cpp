#include "CallBatch.h"

namespace kit {

void callBatch::append(NetStream& batch, std::string_view name, const NetStream& arguments)
{
    batch.write(callId);
    batch.write(std::string(name));
    batch.write(arguments);
}

void callBatch::finish(NetStream& batch)
{
    batch.write(std::uint8_t{0});
}

std::optional<BatchedCall> CallBatchReader::next()
{
    if (ended_)
        return std::nullopt;
    std::uint8_t marker = 0;
    BatchedCall call;
    if (!in_.read(marker) || marker != callBatch::callId) {
        ended_ = true;
        return std::nullopt;
    }
    // A nested stream turns to reading only once its bits are all in: one
    // whose length runs past the batch's end stays as it was, for writing.
    call.arguments.writing = true;
    if (!in_.read(call.name) || !in_.read(call.arguments) || call.arguments.writing) {
        ended_ = true;
        broken_ = true;
        return std::nullopt;
    }
    return call;
}

} // namespace kit
