// The players' shapes: one per row of the colour table, each its own, found
// by the row's livery, written as a byte of the font's that no text from a
// peer may carry.
#include "game/players/PlayerShapes.h"

#include "game/common/PrintableText.h"
#include "game/players/PlayerColours.h"

#include <gtest/gtest.h>

#include <set>

using namespace skyscuffle;

TEST(PlayerShapes, EachRowHasItsOwnShapeAndKeepsIt)
{
    // The liveries and HUD icons are painted with these (tools/art/plane_paint.py).
    const std::pair<const char*, Shape> expected[] = {{"Blue", Shape::star},       {"Green", Shape::circle},
                                                      {"Orange", Shape::triangle}, {"Red", Shape::cross},
                                                      {"Pink", Shape::diamond},    {"Yellow", Shape::square}};
    const auto& rows = playerColours();
    ASSERT_EQ(rows.size(), std::size(expected));
    std::set<Shape> shapes;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].colourName, expected[i].first);
        EXPECT_EQ(shapeOf(rows[i]), expected[i].second) << rows[i].colourName;
        EXPECT_EQ(shapeOfColour(rows[i].colourName), expected[i].second) << rows[i].colourName;
        shapes.insert(expected[i].second);
    }
    EXPECT_EQ(shapes.size(), static_cast<std::size_t>(shapeCount));
}

TEST(PlayerShapes, ARowIsFoundByItsLiveryAndNothingElseHasAShape)
{
    PlayerTextureInfo look = playerColours()[2];
    look.colour = glm::vec3(0.1f);
    look.colourName = "Blue";
    EXPECT_EQ(shapeOf(look), Shape::triangle) << "the orange livery";
    look.modelTexture = "models/playerPlane/player_texture_purple.png";
    EXPECT_EQ(shapeOf(look), std::nullopt);
    EXPECT_EQ(shapeOfColour("Purple"), std::nullopt);
    EXPECT_EQ(shapeOfColour(""), std::nullopt);
}

TEST(PlayerShapes, TheirBytesAreTheFontsSixControlCellsWhichNoPeerMaySend)
{
    std::set<char> bytes;
    for (int i = 1; i <= shapeCount; ++i) {
        const char glyph = glyphOf(static_cast<Shape>(i));
        EXPECT_EQ(glyph, static_cast<char>(i)) << "the font draws the shapes in the cells of bytes 1 to 6";
        EXPECT_TRUE(isShapeGlyph(glyph));
        EXPECT_FALSE(isPrintable(std::string("a") + glyph)) << "text from a peer never carries a shape";
        bytes.insert(glyph);
    }
    EXPECT_EQ(bytes.size(), static_cast<std::size_t>(shapeCount));
    for (const char c : {'\0', '\a', '\t', '\n', '\r', ' ', 'A'})
        EXPECT_FALSE(isShapeGlyph(c)) << int(c);
    EXPECT_EQ(markOf(Shape::star), "\x05 ");
    EXPECT_EQ(markOf(std::nullopt), "  ") << "a name without a shape lines up with the others";
}
