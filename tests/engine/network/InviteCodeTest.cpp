// Invite codes: an address and port spelt in twelve characters a friend can
// read aloud, and every mistyped one refused by its check character.
#include "engine/network/InviteCode.h"

#include <gtest/gtest.h>

#include <random>

namespace invite = kit::inviteCode;
using Kind = invite::Reading::Kind;

namespace {

// A code's own characters of the alphabet, and its dash, where they belong.
void expectShape(const std::string& code)
{
    ASSERT_EQ(code.size(), invite::length) << code;
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (i == 5)
            EXPECT_EQ(code[i], '-') << code;
        else
            EXPECT_NE(invite::alphabet.find(code[i]), std::string_view::npos) << code;
    }
}

// Luhn mod 32 over a code's eleven characters, computed here on its own.
bool passesCheck(const std::string& code)
{
    int sum = 0;
    bool doubled = false;
    for (std::size_t i = code.size(); i-- > 0;) {
        if (i == 5)
            continue;
        const int value = static_cast<int>(invite::alphabet.find(code[i]));
        const int addend = doubled ? 2 * value : value;
        sum += addend / 32 + addend % 32;
        doubled = !doubled;
    }
    return sum % 32 == 0;
}

// The code with the check character that makes it pass: what a stranger
// could craft to spell anything.
std::string withValidCheck(std::string code)
{
    for (char c : invite::alphabet) {
        code[11] = c;
        if (passesCheck(code))
            break;
    }
    return code;
}

} // namespace

TEST(InviteCode, SpellsAnyAddressAndPortAndReadsItBack)
{
    const std::vector<kit::NetAddress> addresses{{0xC6336417, 16520}, {0x01000000, 1},  {0xFFFFFFFF, 65535},
                                                 {0x0A000001, 16519}, {0x7F000001, 80}, {0x5DB8D822, 40000}};
    for (const kit::NetAddress& address : addresses) {
        const std::string code = invite::encode(address);
        expectShape(code);
        EXPECT_TRUE(passesCheck(code)) << code;
        const invite::Reading reading = invite::read(code);
        EXPECT_EQ(reading.kind, Kind::code) << code;
        EXPECT_EQ(reading.address, address) << code;
    }
    // The spelling is fixed: copies of this version and the README agree on it.
    EXPECT_EQ(invite::encode({0xC6336417, 16520}), "888FL-3GJ6AR");
    std::mt19937 random(3);
    for (int i = 0; i < 2000; ++i) {
        const kit::NetAddress address{static_cast<std::uint32_t>(random()) | 1u,
                                      static_cast<std::uint16_t>(random() % 65535 + 1)};
        ASSERT_EQ(invite::read(invite::encode(address)).address, address);
    }
}

TEST(InviteCode, TypedAnyWayAroundItStillReads)
{
    const kit::NetAddress address{0xC6336417, 16520};
    for (const char* typed : {"888fl-3gj6ar", "  888FL-3GJ6AR\n", "888FL 3GJ6AR", "888Fl-3gJ6aR"}) {
        const invite::Reading reading = invite::read(typed);
        EXPECT_EQ(reading.kind, Kind::code) << typed;
        EXPECT_EQ(reading.address, address) << typed;
    }
}

TEST(InviteCode, EveryMistypedCharacterAndNearlyEverySwapIsCaught)
{
    std::mt19937 random(11);
    int swaps = 0, swapsCaught = 0;
    for (int round = 0; round < 200; ++round) {
        const std::string code = invite::encode(
            {static_cast<std::uint32_t>(random()) | 1u, static_cast<std::uint16_t>(random() % 65535 + 1)});
        for (std::size_t at = 0; at < code.size(); ++at) {
            if (at == 5)
                continue;
            for (char c : invite::alphabet) {
                if (c == code[at])
                    continue;
                std::string typo = code;
                typo[at] = c;
                ASSERT_EQ(invite::read(typo).kind, Kind::mistyped) << code << " as " << typo;
            }
            const std::size_t next = at + 1 == 5 ? 6 : at + 1;
            if (next < code.size() && code[at] != code[next]) {
                std::string swapped = code;
                std::swap(swapped[at], swapped[next]);
                ++swaps;
                swapsCaught += invite::read(swapped).kind == Kind::mistyped;
            }
        }
    }
    EXPECT_GE(swapsCaught * 100, swaps * 95) << swapsCaught << " of " << swaps << " swaps caught";
}

TEST(InviteCode, CharactersNeverInACodeMakeItMistyped)
{
    for (const char* typed : {"088FL-3GJ6AR", "888FL-3GJOAR", "888FL-3GJ1AR", "888FI-3GJ6AR", "888fl-3gj6ai"})
        EXPECT_EQ(invite::read(typed).kind, Kind::mistyped) << typed;
}

TEST(InviteCode, WhatNoCodeOfTheGameSpellsIsMistypedEvenWithAGoodCheck)
{
    // Beyond 48 bits, a port 0 or an address 0: the check passes, the code does not.
    std::string beyond = invite::encode({0xC6336417, 16520});
    beyond[0] = 'Z';
    beyond = withValidCheck(beyond);
    ASSERT_TRUE(passesCheck(beyond));
    EXPECT_EQ(invite::read(beyond).kind, Kind::mistyped) << beyond;
    EXPECT_EQ(invite::read(invite::encode({0xC6336417, 0})).kind, Kind::mistyped);
    EXPECT_EQ(invite::read(invite::encode({0, 16520})).kind, Kind::mistyped);
    // The largest there is still reads: its first character is the highest a
    // code has ('9', three bits), and one past it spells more than 48 bits.
    EXPECT_EQ(invite::encode({0xFFFFFFFF, 65535}).front(), '9');
    std::string past = invite::encode({0xFFFFFFFF, 65535});
    past[0] = 'A';
    past = withValidCheck(past);
    ASSERT_TRUE(passesCheck(past));
    EXPECT_EQ(invite::read(past).kind, Kind::mistyped) << past;
}

TEST(InviteCode, AddressesAndNamesAreNotCodes)
{
    for (const char* typed :
         {"", "192.168.1.20", "192.168.1.20:16520", "lanbox", "games.example.org", "888FL-3GJ6A", "888FL-3GJ6ARR",
          "888FL_3GJ6AR", "888FL--GJ6AR", "888F.-3GJ6AR", "888FL3GJ6AR2", "-888FL3GJ6A"})
        EXPECT_EQ(invite::read(typed).kind, Kind::notACode) << typed;
}
