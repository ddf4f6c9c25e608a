#pragma once

#include <cstddef>

// The bounds a replay is recorded and read within. A replay may come from
// anywhere, so the reader checks every size a file gives before it is used.
namespace kit::replayFile {

inline constexpr std::size_t maxHeaderBytes = 64 * 1024;
inline constexpr std::size_t maxPlayers = 64;
inline constexpr std::size_t maxSettings = 1024;
inline constexpr float maxSeconds = 24.0f * 3600.0f;

// A record is a packet as the network had it: at most the transport's
// largest packet (NetPeer's maximumPacketBytes, 1 MiB), whether stored so or
// rebuilt from its packed form.
inline constexpr std::size_t maxRecordBytes = 1024 * 1024;

// The records' bytes, each as the network had it and nine more (its kind,
// time and length in the file). Four copies of four planes make 1.3 MB a
// minute, one copy of eight planes 1.6 MB: hours of a match.
inline constexpr std::size_t maxBodyBytes = 512u * 1024 * 1024; // uncompressed

} // namespace kit::replayFile

namespace kit::statePacking {

// What a packed state packet (StatePacking.h) may hold, and what packing and
// unpacking remember of the packets before. A match has a handful of
// component names, five records per plane and some 20 bytes of state per
// record (measured: eight planes, 40 records of 776 bytes in all): the
// bounds are far above any match and keep a hostile file to a few megabytes.
inline constexpr std::size_t maxNames = 4096;
inline constexpr std::size_t maxNameBytes = 255;
inline constexpr std::size_t maxRecords = 65536; // in one packet
inline constexpr std::size_t maxStateBits = 8 * 65536;
inline constexpr std::size_t maxKeys = 16384;                // entity and component pairs remembered
inline constexpr std::size_t maxKeptBytes = 4 * 1024 * 1024; // their last states' bytes

} // namespace kit::statePacking
