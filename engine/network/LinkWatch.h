#pragma once

#include "LinkAlarm.h"
#include "LinkQuality.h"
#include "NetPeer.h"

#include <cstdint>
#include <map>
#include <optional>

namespace kit {

class NetworkSystem;

// How good this copy's link to each other copy of the session is. The
// hosting copy measures its link to every joined copy itself and tells them
// (LinkReport); a joined copy measures its own link to the host and, for each
// other joined copy, adds the host's figure for that copy to its own: their
// packets travel both legs. The console hears when a copy's link turns poor
// and when it is fine again (LinkAlarm).
//
// Owned by the network system, which hands it the reports and its frames.
class LinkWatch {
public:
    // How often the host reports, and every copy judges its links.
    static constexpr float reportPeriod = 1.0f;
    // A report counts this long: one lost now and then leaves no gap; a host
    // that stopped reporting leaves no old figures behind.
    static constexpr float reportLife = 3.5f;

    explicit LinkWatch(NetworkSystem& network);

    // Each frame, after the packets: the host sends its report, every copy
    // judges its links once a period.
    void update(float dt);
    // A LinkReport packet. Taken only from the host this copy is joined to,
    // and only whole: anything else is told on standard error and dropped.
    void received(const NetPeer::Packet& packet);
    // A new session (hosting, joining, leaving): what the last host reported
    // is forgotten.
    void forget();

    // The link between this copy and copy `origin`: measured here, or through
    // the host. Nothing for this copy itself, a copy not heard from, or one
    // whose figures have not come yet.
    [[nodiscard]] std::optional<LinkQuality> of(std::uint32_t origin) const;
    // What the host last reported of copy `origin`'s link to it, while
    // current (a joined copy's).
    [[nodiscard]] std::optional<LinkQuality> reported(std::uint32_t origin) const;

private:
    [[nodiscard]] std::optional<LinkQuality> toHost() const;
    void report();
    void judge();

    NetworkSystem& network_;
    float clock_ = 0.0f;
    float timer_ = 0.0f;
    std::map<std::uint32_t, LinkQuality> reported_;
    std::uint32_t reportedBy_ = 0; // the host that sent reported_
    float reportedAt_ = 0.0f;
    LinkAlarm alarm_;
};

} // namespace kit
