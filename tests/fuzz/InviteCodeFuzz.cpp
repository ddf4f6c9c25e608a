// Reads arbitrary text as an invite code, as the command line and the
// network screen's field take what a player types or pastes. Whatever reads
// as a code spells an address and port that are not zero and encodes back to
// the same code (case, blanks and the separator aside); nothing else crashes.
#include "FuzzCheck.h"
#include "engine/network/InviteCode.h"

#include <cctype>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const kit::inviteCode::Reading reading = kit::inviteCode::read(text);
    if (reading.kind != kit::inviteCode::Reading::Kind::code)
        return 0;
    fuzz::require(reading.address.ip != 0 && reading.address.port != 0);
    std::string typed;
    for (char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            typed += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    std::string code = kit::inviteCode::encode(reading.address);
    code.erase(5, 1); // the dash
    fuzz::require(typed == code);
    return 0;
}
