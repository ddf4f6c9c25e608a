#include "PlayerShapes.h"

#include "game/players/PlayerColours.h"

#include <array>

namespace skyscuffle {

namespace {

// In the order of playerColours(): the star of the blue planes, the green's
// disc, the orange's triangle, the red's cross, the pink's diamond and the
// yellow's square (tools/art/plane_paint.py paints the same).
constexpr std::array<Shape, 6> rowShapes = {Shape::star,  Shape::circle,  Shape::triangle,
                                            Shape::cross, Shape::diamond, Shape::square};

template <class Match> std::optional<Shape> shapeOfRow(Match&& matches)
{
    const auto& rows = playerColours();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (matches(rows[i]))
            return rowShapes[i];
    }
    return std::nullopt;
}

} // namespace

std::optional<Shape> shapeOf(const PlayerTextureInfo& look)
{
    return shapeOfLivery(look.modelTexture);
}

std::optional<Shape> shapeOfLivery(std::string_view modelTexture)
{
    return shapeOfRow([&](const PlayerTextureInfo& row) { return row.modelTexture == modelTexture; });
}

std::optional<Shape> shapeOfColour(std::string_view colourName)
{
    return shapeOfRow([&](const PlayerTextureInfo& row) { return row.colourName == colourName; });
}

char glyphOf(Shape shape)
{
    return static_cast<char>(static_cast<int>(shape));
}

std::string markOf(std::optional<Shape> shape)
{
    return shape ? std::string{glyphOf(*shape), ' '} : std::string("  ");
}

bool isShapeGlyph(char c)
{
    return c >= glyphOf(Shape::circle) && c <= glyphOf(Shape::cross);
}

} // namespace skyscuffle
