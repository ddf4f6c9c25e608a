#include "ComeBack.h"

#include "game/ai/ArtificialIntelligence.h"
#include "game/lobby/JoinedBy.h"
#include "game/lobby/JoiningPlayers.h"
#include "game/players/PlayerColours.h"
#include "game/players/PlayerInfo.h"
#include "game/players/Seats.h"

#include "engine/core/AtomicFile.h"
#include "engine/core/Log.h"
#include "engine/core/UserDirectories.h"
#include "engine/core/World.h"
#include "engine/input/JoystickManager.h"
#include "engine/network/NetworkSystem.h"

#include <boost/uuid/detail/sha1.hpp>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <random>
#include <sstream>

namespace skyscuffle::comeBack {

namespace {

constexpr int highestNumber = 1000; // as a player's number may be

// The comma-separated fields of a line.
std::vector<std::string_view> fields(std::string_view line)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = line.find(',', start);
        out.push_back(line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos)
            return out;
        start = comma + 1;
    }
}

template <class T> std::optional<T> number(std::string_view text, int base = 10)
{
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

bool isColour(std::string_view name)
{
    return std::any_of(playerColours().begin(), playerColours().end(),
                       [&](const PlayerTextureInfo& row) { return row.colourName == name; });
}

std::optional<Note::Player> playerFrom(const std::vector<std::string_view>& f)
{
    if (f.size() != 6)
        return std::nullopt;
    const auto device = number<int>(f[1]);
    const auto computer = number<int>(f[2]);
    const auto strength = number<int>(f[3]);
    const auto numbered = number<int>(f[5]);
    if (!device || *device < JoinedBy::secondKeyboard || *device >= kit::JoystickManager::slotCount || !computer ||
        *computer < 0 || *computer > 1 || !strength || *strength < 0 || *strength > 2 || !isColour(f[4]) || !numbered ||
        *numbered < 1 || *numbered > highestNumber)
        return std::nullopt;
    return Note::Player{*device, *computer == 1, *strength, std::string(f[4]), *numbered};
}

} // namespace

std::uint64_t secret()
{
    static const std::uint64_t drawn = [] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }();
    return drawn;
}

Fingerprint fingerprintOf(std::uint64_t secret)
{
    boost::uuids::detail::sha1 hash;
    unsigned char bytes[8];
    for (int i = 0; i < 8; ++i)
        bytes[i] = static_cast<unsigned char>(secret >> (8 * i));
    hash.process_bytes(bytes, sizeof bytes);
    boost::uuids::detail::sha1::digest_type digest;
    hash.get_digest(digest);
    return Fingerprint{static_cast<std::uint32_t>(digest[0]), static_cast<std::uint32_t>(digest[1])};
}

std::string encode(const Note& note)
{
    std::ostringstream out;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(note.secret));
    out << "host," << note.host << "," << note.port << "\n";
    out << "secret," << hex << "\n";
    out << "written," << note.writtenAt << "\n";
    for (const Note::Player& p : note.players)
        out << "player," << p.device << "," << (p.computer ? 1 : 0) << "," << p.strength << "," << p.colourName << ","
            << p.number << "\n";
    return out.str();
}

std::optional<Note> decode(std::string_view text)
{
    Note note;
    bool host = false, secret = false, written = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::vector<std::string_view> f = fields(text.substr(start, end - start));
        start = end + 1;
        if (f[0] == "host" && f.size() == 3) {
            const auto port = number<std::uint16_t>(f[2]);
            if (f[1].empty() || f[1].size() > 64 || !port || *port == 0)
                return std::nullopt;
            note.host = std::string(f[1]);
            note.port = *port;
            host = true;
        } else if (f[0] == "secret" && f.size() == 2) {
            const auto value = number<std::uint64_t>(f[1], 16);
            if (!value || f[1].size() != 16)
                return std::nullopt;
            note.secret = *value;
            secret = true;
        } else if (f[0] == "written" && f.size() == 2) {
            const auto value = number<std::int64_t>(f[1]);
            if (!value)
                return std::nullopt;
            note.writtenAt = *value;
            written = true;
        } else if (f[0] == "player") {
            const std::optional<Note::Player> player = playerFrom(f);
            if (!player || note.players.size() == seatsInSession)
                return std::nullopt;
            note.players.push_back(*player);
        } else if (!(f.size() == 1 && f[0].empty())) {
            return std::nullopt;
        }
    }
    if (!host || !secret || !written)
        return std::nullopt;
    return note;
}

std::optional<Note> noteOf(kit::World& world, std::int64_t now)
{
    const kit::NetworkSystem* network = kit::NetworkSystem::of(&world);
    if (!network || network->isServer() || network->peers().empty())
        return std::nullopt;
    // A joined copy hears everyone through its one connection: the host's.
    const kit::NetAddress& host = network->peers().begin()->second.address;
    Note note{host.ipString(), host.port, secret(), now, {}};
    std::vector<kit::EntityHandle> players = world.getEntities(kit::typeId<PlayerInfo>())->toVector();
    std::sort(players.begin(), players.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
    for (const kit::EntityHandle& player : players) {
        const auto* info = world.getComponent<PlayerInfo>(player.id);
        const auto* by = world.getComponent<JoinedBy>(player.id);
        if (!world.owns(player.id) || !info || !by)
            continue;
        const auto* ai = world.getComponent<ArtificialIntelligence>(player.id);
        note.players.push_back(Note::Player{by->device, by->computer, ai ? static_cast<int>(ai->strength) : 1,
                                            info->colourName, static_cast<int>(info->number)});
    }
    return note;
}

std::filesystem::path noteFile()
{
    const std::filesystem::path home = kit::userDirectories::stateHome();
    return home.empty() ? home : home / "skyscuffle" / "match-note.txt";
}

void keep(const Note& note, const std::filesystem::path& file)
{
    if (file.empty())
        return;
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    // Two copies on one machine keep their notes in one home: each write goes
    // through a temporary file of its own, never one the other is filling.
    kit::writeFileAtomically(file, encode(note));
}

void forget(const std::filesystem::path& file)
{
    std::error_code error;
    if (!file.empty())
        std::filesystem::remove(file, error);
}

std::optional<Note> recent(std::int64_t now, std::int64_t seconds, const std::filesystem::path& file)
{
    if (file.empty())
        return std::nullopt;
    std::ifstream in(file);
    if (!in)
        return std::nullopt;
    constexpr std::size_t longest = 4096; // a note of six players is a few hundred bytes
    std::string text(longest + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    std::optional<Note> note = text.size() > longest ? std::nullopt : decode(text);
    if (!note) {
        kit::log::warn() << "The note of the last match is not one (" << file.string() << "): ignored";
        return std::nullopt;
    }
    if (note->writtenAt > now || now - note->writtenAt > seconds)
        return std::nullopt;
    return note;
}

std::optional<Note>& pending()
{
    static std::optional<Note> note;
    return note;
}

std::size_t restorePlayers(kit::World& world, const Note& note)
{
    std::size_t made = 0;
    for (const Note::Player& p : note.players) {
        const auto row = std::find_if(playerColours().begin(), playerColours().end(),
                                      [&](const PlayerTextureInfo& r) { return r.colourName == p.colourName; });
        kit::Joystick* joystick = nullptr;
        if (!p.computer && p.device >= 0) {
            if (!world.joysticks || !world.joysticks->isConnected(p.device))
                continue; // its pad is not here now
            joystick = &world.joysticks->joystick(p.device);
        }
        const std::optional<PilotStrength> pilot =
            p.computer ? std::optional(static_cast<PilotStrength>(p.strength)) : std::nullopt;
        if (row != playerColours().end() && joining::makePlayer(&world, p.device, joystick, pilot, *row, p.number))
            ++made;
    }
    return made;
}

} // namespace skyscuffle::comeBack
