#pragma once

#include "ReplayFile.h"
#include "ReplaySource.h"

#include <string>
#include <vector>

namespace kit {

// The records of a replay file, after its header: their size as stored
// (u32), the size of the zstd frame that holds them (u32), then the frame
// (both sizes 0 for no records). Each record, little-endian: its kind (u8: 1
// calls, 2 state, 3 a state packet packed, see StatePacking), its time in
// milliseconds (u32), its length (u32), its bytes.
//
// Written and read a record at a time through zstd's streaming interface:
// the records decompressed are never held whole, only the records made of
// them, each checked (ReplayTally) before it is kept.
void writeReplayBody(const std::vector<ReplayRecord>& records, std::vector<std::uint8_t>& out);

// Reads the records into `records`, or fails with one line in `error`.
// `seconds` is the header's length: no record may come a second after it.
bool readReplayBody(ReplaySource& in, float seconds, std::vector<ReplayRecord>& records, std::string& error);

} // namespace kit
