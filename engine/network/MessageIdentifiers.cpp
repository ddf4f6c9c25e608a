#include "MessageIdentifiers.h"

namespace kit::message {

const char* name(std::uint8_t id)
{
    switch (id) {
    case unconnectedPing: return "UNCONNECTED_PING";
    case connectionRequestAccepted: return "CONNECTION_REQUEST_ACCEPTED";
    case connectionAttemptFailed: return "CONNECTION_ATTEMPT_FAILED";
    case newIncomingConnection: return "NEW_INCOMING_CONNECTION";
    case noFreeIncomingConnections: return "NO_FREE_INCOMING_CONNECTIONS";
    case disconnectionNotification: return "DISCONNECTION_NOTIFICATION";
    case connectionLost: return "CONNECTION_LOST";
    case incompatibleProtocol: return "INCOMPATIBLE_PROTOCOL_VERSION";
    case unconnectedPong: return "UNCONNECTED_PONG";
    default: return "";
    }
}

} // namespace kit::message
