#pragma once

#include <cstdint>

// The first byte of every packet the transport delivers. Connection events
// arrive as packets of their own made of this byte alone; game messages use
// the identifiers from `firstGameMessage` on.
namespace kit::message {

constexpr std::uint8_t unconnectedPing = 2;
constexpr std::uint8_t connectionRequestAccepted = 16;
constexpr std::uint8_t connectionAttemptFailed = 17;
constexpr std::uint8_t newIncomingConnection = 19;
constexpr std::uint8_t noFreeIncomingConnections = 20;
constexpr std::uint8_t disconnectionNotification = 21;
constexpr std::uint8_t connectionLost = 22;
constexpr std::uint8_t incompatibleProtocol = 25; // the other side speaks another version
constexpr std::uint8_t unconnectedPong = 28;
constexpr std::uint8_t firstGameMessage = 134;

// A readable name for the identifiers the transport produces; empty for others.
const char* name(std::uint8_t id);

} // namespace kit::message
