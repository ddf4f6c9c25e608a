#include "engine/core/ParseError.h"
#include "engine/core/TextParser.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

using kit::TextParser;

TEST(TextParser, SkipsCommentsAndCountsLinesAndColumns)
{
    std::istringstream in("  // note\n  [");
    TextParser parser(in);
    parser.expect('[');
    EXPECT_EQ(parser.line, 2);
    EXPECT_EQ(parser.column, 4);

    std::istringstream block("/* one\ntwo */x");
    TextParser blockParser(block);
    EXPECT_EQ(blockParser.readIdentifier(), "x");
    EXPECT_EQ(blockParser.line, 2);
}

TEST(TextParser, ExpectReportsWhereAndWhat)
{
    std::istringstream in("  foo");
    TextParser parser(in);
    try {
        parser.expect(']');
        FAIL() << "no error";
    } catch (const kit::ParseError& error) {
        EXPECT_STREQ(error.what(), "Parsing error (line 1, column 3): Was expecting ']', got 'f' instead");
    }
    EXPECT_EQ(parser.readIdentifier(), "foo"); // nothing was consumed

    std::istringstream empty("");
    TextParser atEnd(empty);
    EXPECT_THROW(atEnd.expect('"'), kit::ParseError);
}

TEST(TextParser, StringsQuotedOrBare)
{
    std::istringstream in("\"a\\tb\" shaders_1.x");
    TextParser parser(in);
    EXPECT_EQ(parser.readString(), "a\tb");
    EXPECT_EQ(parser.readString(), "shaders_1");
    EXPECT_TRUE(parser.accept('.'));
    EXPECT_EQ(parser.readString(), "x");
    EXPECT_EQ(parser.readString(), ""); // end of input
}

TEST(TextParser, QuotedStringEscapesAndContinuations)
{
    std::istringstream in("\"q\\\"\\\\\\0\\n\\\nz\\\r\nend\nnext\" \"unterminated");
    TextParser parser(in);
    EXPECT_EQ(parser.readQuotedString(), std::string("q\"\\\0\nzend\nnext", 14));
    EXPECT_EQ(parser.readQuotedString(), "unterminated");
}

TEST(TextParser, NumbersTakeTheLongestValidPrefix)
{
    std::istringstream in("-0.25, 42 1-2 1e5 .");
    TextParser parser(in);
    EXPECT_FLOAT_EQ(parser.readFloat(), -0.25f);
    EXPECT_TRUE(parser.accept(','));
    EXPECT_EQ(parser.readInt(), 42);
    EXPECT_EQ(parser.readInt(), 1); // "1-2" is collected whole, converted as atoi does
    EXPECT_EQ(parser.readInt(), 1);
    EXPECT_EQ(parser.readIdentifier(), "e5");
    EXPECT_FLOAT_EQ(parser.readFloat(), 0.0f);
}

TEST(TextParser, HugeNumbersSaturate)
{
    std::istringstream in("99999999999999999999 -99999999999999999999");
    TextParser parser(in);
    EXPECT_EQ(parser.readInt(), std::numeric_limits<int>::max());
    EXPECT_EQ(parser.readInt(), std::numeric_limits<int>::min());
}

TEST(TextParser, ALoneSlashIsDropped)
{
    std::istringstream in("/ word");
    TextParser parser(in);
    EXPECT_EQ(parser.readIdentifier(), "word");
    EXPECT_FALSE(parser.accept('x'));
}
