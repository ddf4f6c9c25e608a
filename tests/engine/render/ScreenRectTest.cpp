// Where on the screen a draw can land.
#include "engine/render/ScreenRect.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

TEST(ScreenRect, AQuadSeenStraightOnCoversItsOwnCornersAndAHairMore)
{
    const kit::ScreenRect r =
        kit::projectBox(glm::mat4(1.0f), glm::vec3(-0.5f, -0.25f, 0.0f), glm::vec3(0.5f, 0.25f, 0.0f));
    ASSERT_FALSE(r.empty);
    ASSERT_FALSE(r.everywhere);
    EXPECT_LT(r.minX, -0.5f);
    EXPECT_GT(r.minX, -0.51f);
    EXPECT_GT(r.maxX, 0.5f);
    EXPECT_LT(r.maxX, 0.51f);
    EXPECT_LT(r.minY, -0.25f);
    EXPECT_GT(r.maxY, 0.25f);
    EXPECT_LT(r.maxY, 0.26f);
}

TEST(ScreenRect, PerspectiveShrinksWhatIsFarAway)
{
    const glm::mat4 projection = glm::perspective(1.2217305f, 1.0f, 0.1f, 1000.0f);
    const glm::mat4 near = projection * glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -10.0f));
    const glm::mat4 far = projection * glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -100.0f));
    const glm::vec3 lo(-1.0f, -1.0f, 0.0f), hi(1.0f, 1.0f, 0.0f);
    EXPECT_GT(kit::projectBox(near, lo, hi).maxX, 5.0f * kit::projectBox(far, lo, hi).maxX);
}

TEST(ScreenRect, ABoxReachingBehindTheEyeCoversEverything)
{
    const glm::mat4 projection = glm::perspective(1.2217305f, 1.0f, 0.1f, 1000.0f);
    const kit::ScreenRect r = kit::projectBox(projection, glm::vec3(-1.0f, -1.0f, -5.0f), glm::vec3(1.0f, 1.0f, 1.0f));
    EXPECT_TRUE(r.everywhere);
    EXPECT_TRUE(r.overlaps(kit::projectBox(glm::mat4(1.0f), glm::vec3(0.9f), glm::vec3(0.95f))));
}

TEST(ScreenRect, RectanglesOverlapWhenTheyShareAnyPoint)
{
    const auto at = [](float x, float y) {
        return kit::projectBox(glm::mat4(1.0f), glm::vec3(x, y, 0.0f), glm::vec3(x + 0.2f, y + 0.2f, 0.0f));
    };
    EXPECT_TRUE(at(0.0f, 0.0f).overlaps(at(0.1f, 0.1f)));
    EXPECT_TRUE(at(0.0f, 0.0f).overlaps(at(0.2f, 0.0f))); // edge to edge
    EXPECT_FALSE(at(0.0f, 0.0f).overlaps(at(0.3f, 0.0f)));
    EXPECT_FALSE(at(0.0f, 0.0f).overlaps(at(0.0f, -0.3f)));
    EXPECT_FALSE(at(0.0f, 0.0f).overlaps(kit::ScreenRect{}));
}

TEST(ScreenRect, AUnionCoversBoth)
{
    const kit::ScreenRect a = kit::projectBox(glm::mat4(1.0f), glm::vec3(-0.9f), glm::vec3(-0.8f));
    const kit::ScreenRect b = kit::projectBox(glm::mat4(1.0f), glm::vec3(0.8f), glm::vec3(0.9f));
    kit::ScreenRect both;
    both.unite(a);
    both.unite(b);
    EXPECT_TRUE(both.overlaps(kit::projectBox(glm::mat4(1.0f), glm::vec3(0.0f), glm::vec3(0.01f))));
    both.unite(kit::ScreenRect::whole());
    EXPECT_TRUE(both.everywhere);
}
