#include "engine/resources/AssetPath.h"

#include <gtest/gtest.h>

#include <string>

TEST(AssetPaths, NamesThatStayInsideTheAssets)
{
    for (const char* inside : {"models/quad.obj", "a.png", "models/background/../basicStage/stageAtlas.png",
                               "./shaders/flat.vert", "models//x.png", "a/b/../../c.txt", "..hidden/file", ""})
        EXPECT_TRUE(kit::staysInAssets(inside)) << inside;
}

TEST(AssetPaths, NamesThatLeaveThem)
{
    for (const char* outside :
         {"/etc/passwd", "../secret", "..", "models/../../secret", "a/./../../b", "models\\..\\..\\x", "a\\b"})
        EXPECT_FALSE(kit::staysInAssets(outside)) << outside;
    EXPECT_FALSE(kit::staysInAssets(std::string("a.png\0", 6)));
}
