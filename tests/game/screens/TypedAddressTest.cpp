// What the network screen's address field accepts as an address to look for.
#include "game/screens/TypedAddress.h"

#include <gtest/gtest.h>

using namespace skyscuffle;

TEST(TypedAddress, DottedAddressesAndHostNamesWithOrWithoutAPort)
{
    const auto dotted = TypedAddress::parse("  192.168.1.20 \t");
    ASSERT_TRUE(dotted);
    EXPECT_EQ(dotted->host, "192.168.1.20");
    EXPECT_EQ(dotted->port, 0);
    EXPECT_TRUE(dotted->dotted);
    EXPECT_EQ(dotted->text(), "192.168.1.20");

    const auto withPort = TypedAddress::parse("10.0.0.255:16521");
    ASSERT_TRUE(withPort);
    EXPECT_EQ(withPort->host, "10.0.0.255");
    EXPECT_EQ(withPort->port, 16521);
    EXPECT_EQ(withPort->text(), "10.0.0.255:16521");

    const auto name = TypedAddress::parse("lan-box.example.org:65535");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->host, "lan-box.example.org");
    EXPECT_EQ(name->port, 65535);
    EXPECT_FALSE(name->dotted);
    EXPECT_TRUE(TypedAddress::parse("localhost"));
    EXPECT_TRUE(TypedAddress::parse("0.0.0.0:1"));
    EXPECT_TRUE(TypedAddress::parse("box7"));
    EXPECT_TRUE(TypedAddress::parse(std::string(63, 'a') + ".lan"));
}

TEST(TypedAddress, AnythingElseIsRefused)
{
    for (const char* bad :
         {"",          "   ",         "10.0.0.300",    "10.0.0",         "10.0.0.1.2",  "10..0.1",     "010.0.0.1",
          "1.2.3.4:",  "1.2.3.4:0",   "1.2.3.4:65536", "1.2.3.4:123456", "1.2.3.4:16a", "1.2.3.4:1:2", ":16520",
          "host name", "-box",        "box-",          "box.-lan",       "bad_name",    "a..b",        "host.",
          "ümlaut.de", "10.0.0.1/24", "fe80::1",       "[::1]:16520"})
        EXPECT_FALSE(TypedAddress::parse(bad)) << '"' << bad << '"';
    EXPECT_FALSE(TypedAddress::parse(std::string(64, 'a') + ".lan")) << "a label of 64 characters";
    std::string long_name;
    for (int i = 0; i < 64; ++i)
        long_name += "abc.";
    EXPECT_FALSE(TypedAddress::parse(long_name + "lan")) << "longer than 253 characters";
}
