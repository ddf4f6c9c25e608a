#include "game/screens/ConsoleLine.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(ConsoleLine, ReadsOneLineWithoutBlanks)
{
    std::istringstream in(" 192.168.1.20\r\nnext\n   \n");
    EXPECT_EQ(readConsoleLine(in), "192.168.1.20");
    EXPECT_EQ(readConsoleLine(in), "next");
    EXPECT_EQ(readConsoleLine(in), "") << "a blank line is an empty address, not the end";
}

TEST(ConsoleLine, TheEndOfInputIsReportedAtOnceEveryTime)
{
    std::istringstream in("");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(readConsoleLine(in), std::nullopt);
    std::istringstream last("host-without-line-end");
    EXPECT_EQ(readConsoleLine(last), "host-without-line-end");
    EXPECT_EQ(readConsoleLine(last), std::nullopt);
}
