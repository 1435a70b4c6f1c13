#include "render/ScreenArea.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

// A box from (-1, -1, -1) to (1, 1, 1).
const glm::vec3 low(-1.0f), high(1.0f);

const glm::mat4 projection = glm::perspective(glm::radians(60.0f), 4.0f / 3.0f, 0.01f, 30.0f);

glm::mat4 lookingAtBoxFrom(glm::vec3 eye)
{
    return projection * glm::lookAt(eye, glm::vec3(0.0f), glm::vec3(0.0f, 1.0f, 0.0f));
}

} // namespace

TEST(ScreenArea, ABoxCoversItsProjectedCornersWithinTheImageAndNoneReachingBehindTheEye)
{
    // Straight ahead and 10 away, the box's near face (9 away) spans 1/(9 tan 30) of the
    // half-height: 0.192 of the 150 rows, centred.
    const std::optional<PixelRect> area = projectedArea(low, high, lookingAtBoxFrom(glm::vec3(0, 0, 10)), 200, 150);
    ASSERT_TRUE(area);
    const float halfRows = 75.0f / (9.0f * std::tan(glm::radians(30.0f)));
    EXPECT_NEAR(area->y, 75.0f - halfRows - 1.0f, 1.0f);
    EXPECT_NEAR(area->y + area->height, 75.0f + halfRows + 1.0f, 1.0f);
    EXPECT_NEAR(area->x + area->width / 2.0f, 100.0f, 1.0f) << "centred across";

    const PixelRect wide = widened(*area, 14, 200, 150);
    EXPECT_EQ(wide.x, area->x - 14);
    EXPECT_EQ(wide.width, area->width + 28);
    EXPECT_EQ(scaledUp(PixelRect{10, 20, 30, 40}, 4, 800, 600), (PixelRect{40, 80, 120, 160}));

    // Bounds are cut to the image, and there are none for a box reaching behind the eye.
    const std::optional<PixelRect> beside = projectedArea(
        low, high, lookingAtBoxFrom(glm::vec3(0, 0, 10)) * glm::translate(glm::mat4(1.0f), glm::vec3(500, 0, 0)), 200,
        150);
    ASSERT_TRUE(beside);
    EXPECT_EQ(beside->width, 0) << "far off to the side: nothing of the image";
    EXPECT_EQ(widened(PixelRect{190, 140, 10, 10}, 14, 200, 150), (PixelRect{176, 126, 24, 24}));

    EXPECT_FALSE(projectedArea(low, high, lookingAtBoxFrom(glm::vec3(0, 0, 0.5f)), 200, 150)) << "the eye is inside";
}
