#include "CommandLine.h"

#include "engine/core/Setting.h"
#include "engine/network/InviteCode.h"

#include <boost/program_options.hpp>

#include <charconv>
#include <ostream>

namespace skyscuffle {

namespace po = boost::program_options;

#ifndef SKYSCUFFLE_VERSION
#error "SKYSCUFFLE_VERSION must name the game's version"
#endif

namespace {

bool readNumber(const std::string& text, long low, long high, long& value)
{
    const char* end = text.data() + text.size();
    const auto [at, problem] = std::from_chars(text.data(), end, value);
    return problem == std::errc() && at == end && !text.empty() && value >= low && value <= high;
}

po::options_description describeOptions()
{
    po::options_description options("Options");
    // clang-format off
    options.add_options()
        ("help,h", "show this help and exit")
        ("version", "show the version and exit")
        ("list-settings", po::value<std::string>()->implicit_value("text")->value_name("markdown"),
         "show every setting (key, type, default, range, help) and exit; =markdown as a table")
        ("fullscreen", "play in full screen on the primary monitor")
        ("windowed", "play in a window")
        ("size", po::value<std::string>()->value_name("WxH"), "the window's size in pixels, e.g. 1280x720")
        ("data", po::value<std::string>()->value_name("DIR"), "read the game's data from DIR")
        ("host", "host a session on the local network at once")
        ("join", po::value<std::string>()->value_name("ADDRESS[:PORT]|CODE"),
         "join the session hosted at ADDRESS, or the one an invite CODE names")
        ("mute", "play without sound")
        ("replay", po::value<std::string>()->value_name("FILE"), "watch the replay in FILE")
        ("clip", po::value<std::string>()->value_name("OUT.webp"),
         "with --replay: draw a part of it into an animated WebP, without a window, and exit")
        ("clip-from", po::value<float>()->value_name("S"), "the clip starts S seconds in (0)")
        ("clip-seconds", po::value<float>()->value_name("N"), "the clip lasts N seconds (10)")
        ("clip-size", po::value<std::string>()->value_name("WxH"), "the clip's size in pixels (640x360)")
        ("view-log", po::value<std::string>()->value_name("FILE"),
         "write where every plane is shown, each frame, and the hits seen and counted, into FILE (for measuring)")
        ("verbose", "also show debug lines, on the console and in the log file")
        ("quiet", "show only warnings and errors on the console (the log file keeps the rest)");
    // clang-format on
    return options;
}

} // namespace

bool splitAddress(const std::string& text, std::string& address, std::uint16_t& port)
{
    const auto colon = text.rfind(':');
    address = text.substr(0, colon);
    port = 0;
    if (colon != std::string::npos) {
        long value = 0;
        if (!readNumber(text.substr(colon + 1), 1, 65535, value))
            return false;
        port = static_cast<std::uint16_t>(value);
    }
    return !address.empty() && address.find(':') == std::string::npos;
}

bool readSize(const std::string& text, int& width, int& height)
{
    const auto x = text.find_first_of("xX");
    long w = 0, h = 0;
    if (x == std::string::npos || !readNumber(text.substr(0, x), 1, 16384, w) ||
        !readNumber(text.substr(x + 1), 1, 16384, h))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

CommandLine readCommandLine(int argc, const char* const* argv, std::ostream& out, std::ostream& error)
{
    CommandLine line;
    const auto fail = [&](const std::string& why) {
        error << "skyscuffle: " << why << " (see skyscuffle --help)\n";
        line.run = false;
        line.status = 2;
        return line;
    };
    const po::options_description options = describeOptions();
    po::variables_map given;
    try {
        // No positional arguments: a stray word is an error, not ignored.
        const po::positional_options_description none;
        po::store(po::command_line_parser(argc, argv).options(options).positional(none).run(), given);
        po::notify(given);
    } catch (const po::error& e) {
        return fail(e.what());
    }

    if (given.count("help")) {
        out << "Usage: skyscuffle [OPTION]...\n"
            << "A side-view aeroplane dogfight for several players, on one machine or a local network.\n\n"
            << options << "\nSettings chosen in the game are kept in $XDG_CONFIG_HOME/skyscuffle/settings.csv\n"
            << "(~/.config/skyscuffle/settings.csv by default); options given here last for one run.\n"
            << "The log of the latest runs is kept in $XDG_STATE_HOME/skyscuffle/skyscuffle.log\n"
            << "(~/.local/state/skyscuffle/skyscuffle.log by default).\n";
        line.run = false;
        return line;
    }
    if (given.count("list-settings")) {
        const std::string& form = given["list-settings"].as<std::string>();
        if (form != "text" && form != "markdown")
            return fail("--list-settings takes markdown or nothing, not '" + form + "'");
        out << kit::settingsList(form == "markdown");
        line.run = false;
        return line;
    }
    if (given.count("version")) {
        out << "skyscuffle " << SKYSCUFFLE_VERSION << "\n";
        line.run = false;
        return line;
    }

    LaunchOptions& o = line.options;
    if (given.count("fullscreen") && given.count("windowed"))
        return fail("--fullscreen and --windowed contradict each other");
    if (given.count("fullscreen") || given.count("windowed"))
        o.fullscreen = given.count("fullscreen") > 0;
    if (given.count("size")) {
        int w = 0, h = 0;
        const auto& text = given["size"].as<std::string>();
        if (!readSize(text, w, h))
            return fail("--size wants WIDTHxHEIGHT from 1 to 16384, not '" + text + "'");
        o.width = w;
        o.height = h;
    }
    if (given.count("view-log")) {
        o.viewLog = given["view-log"].as<std::string>();
        if (o.viewLog.empty())
            return fail("--view-log wants a file");
    }
    if (given.count("data")) {
        o.dataDirectory = given["data"].as<std::string>();
        if (o.dataDirectory.empty())
            return fail("--data wants a directory");
    }
    o.host = given.count("host") > 0;
    if (given.count("join")) {
        const auto& text = given["join"].as<std::string>();
        const kit::inviteCode::Reading code = kit::inviteCode::read(text);
        if (code.kind == kit::inviteCode::Reading::Kind::mistyped)
            return fail("--join: '" + text + "' is not an invite code: a character of it is mistyped");
        if (code.kind == kit::inviteCode::Reading::Kind::code) {
            o.joinAddress = code.address.ipString();
            o.joinPort = code.address.port;
        } else if (!splitAddress(text, o.joinAddress, o.joinPort)) {
            return fail("--join wants ADDRESS, ADDRESS:PORT with a port from 1 to 65535 or an invite code, not '" +
                        text + "'");
        }
    }
    if (o.host && !o.joinAddress.empty())
        return fail("--host and --join contradict each other");
    o.mute = given.count("mute") > 0;
    if (given.count("verbose") && given.count("quiet"))
        return fail("--verbose and --quiet contradict each other");
    if (given.count("verbose"))
        o.verbosity = kit::log::Verbosity::verbose;
    if (given.count("quiet"))
        o.verbosity = kit::log::Verbosity::quiet;
    if (given.count("replay")) {
        o.replayFile = given["replay"].as<std::string>();
        if (o.replayFile.empty())
            return fail("--replay wants a file");
        if (o.host || !o.joinAddress.empty())
            return fail("--replay plays alone: not with --host or --join");
    }
    if (given.count("clip")) {
        if (o.replayFile.empty())
            return fail("--clip wants --replay FILE");
        o.clipFile = given["clip"].as<std::string>();
        if (o.clipFile.empty())
            return fail("--clip wants a file");
    }
    if (given.count("clip-from")) {
        o.clipFrom = given["clip-from"].as<float>();
        if (!(o.clipFrom >= 0.0f && o.clipFrom <= 24.0f * 3600.0f))
            return fail("--clip-from wants seconds from 0");
    }
    if (given.count("clip-seconds")) {
        o.clipSeconds = given["clip-seconds"].as<float>();
        if (!(o.clipSeconds >= 0.1f && o.clipSeconds <= 600.0f))
            return fail("--clip-seconds wants 0.1 to 600");
    }
    if (given.count("clip-size")) {
        const auto& text = given["clip-size"].as<std::string>();
        if (!readSize(text, o.clipWidth, o.clipHeight) || o.clipWidth < 16 || o.clipHeight < 16 || o.clipWidth > 3840 ||
            o.clipHeight > 2160)
            return fail("--clip-size wants WIDTHxHEIGHT from 16x16 to 3840x2160, not '" + text + "'");
    }
    return line;
}

} // namespace skyscuffle
