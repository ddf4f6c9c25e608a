// Runs the text parser's operations over arbitrary text in an order the text
// itself chooses, as the loaders' grammars do. Parse errors are expected;
// crashes, hangs and positions that run backwards are not.
#include "FuzzCheck.h"
#include "engine/core/ParseError.h"
#include "engine/core/TextParser.h"

#include <cstdlib>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte seeds the order of operations; the rest is the text.
    unsigned order = data[0];
    std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    kit::TextParser parser(in);
    static const char tokens[] = "[]{},:=\"";

    for (int step = 0; step < 100000 && in.peek() != std::char_traits<char>::eof(); ++step) {
        const std::streamoff before = in.tellg();
        const int line = parser.line;
        try {
            switch (order % 8) {
            case 0: parser.skip(); break;
            case 1: parser.expect(tokens[order % 8 + (order >> 3) % 4]); break;
            case 2: parser.accept(tokens[(order >> 2) % 8]); break;
            case 3: (void)parser.readString(); break;
            case 4: (void)parser.readIdentifier(); break;
            case 5: (void)parser.readQuotedString(); break;
            case 6: (void)parser.readInt(); break;
            default: (void)parser.readFloat(); break;
            }
        } catch (const kit::ParseError&) {
        }
        fuzz::require(parser.line >= line && parser.column >= 1);
        order = order * 1103515245u + 12345u;
        // A grammar that makes no progress drops one character, as a loader
        // that reported the error would stop.
        if (in.good() && in.tellg() == before) {
            in.get();
        }
    }
    return 0;
}
