#pragma once

#include "engine/network/NetPeer.h"

#include <cstddef>

// The bounds a replay is recorded and read within. A replay may come from
// anywhere, so the reader checks every size a file gives before it is used;
// the recorder keeps within the very same bounds (see ReplayTally), so that
// every replay this game writes reads back.
namespace kit::replayFile {

inline constexpr std::size_t maxHeaderBytes = 64 * 1024;
inline constexpr std::size_t maxPlayers = 64;
inline constexpr std::size_t maxSettings = 1024;
inline constexpr float maxSeconds = 24.0f * 3600.0f;

// A record is a packet as the network had it: at most the transport's
// largest packet (1 MiB), whether stored so or rebuilt from its packed form.
inline constexpr std::size_t maxRecordBytes = NetPeer::maximumPacketBytes;

// Records in any one second of the recording (by the whole seconds of their
// time). What the recorder makes: of each copy in the session, its call
// batches, at most one per send of the network (30 a second), and its state,
// one send per stateEvery (the 3/4 tolerance lets 20 a second through), a
// packet per 1,200 bytes of it. Measured with match_sim: one copy of eight
// planes makes 39 records a second (47 in its busiest second), four copies
// of four planes 72 (91). At the most a copy may send (NetworkLimits: 6,000
// state records a second, some 8 packets a send) a copy makes 30 + 20 x 8 =
// 190; seventeen copies (the 16 connections a host takes, and itself) 3,230.
// 4,096 leaves room above that for packets a slow link delivers in a burst.
inline constexpr std::size_t maxRecordsPerSecond = 4096;

// Records in a file: at the 72 a second of four copies, four hours; at some
// 400 a second of seventeen, over forty minutes. A recording that reaches it
// stops, as one that reaches the byte bound below.
inline constexpr std::size_t maxRecords = 1024 * 1024;

// The records' bytes, each as the network had it and nine more (its kind,
// time and length in the file). Four copies of four planes make 1.3 MB a
// minute, one copy of eight planes 1.6 MB: hours of a match.
inline constexpr std::size_t maxBodyBytes = 512u * 1024 * 1024;

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

namespace kit::replayFile {

// The records as the file stores them: packing never makes a packet larger,
// but for the names it introduces, once each in a file.
inline constexpr std::size_t maxStoredBodyBytes =
    maxBodyBytes + statePacking::maxNames * (2 + statePacking::maxNameBytes);

} // namespace kit::replayFile
