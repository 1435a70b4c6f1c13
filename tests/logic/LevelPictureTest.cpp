// tindral-level's pictures: where a picture puts its marks and the hero's way.
#include "TestSupport.h"

#include "tools/level/LevelPicture.h"
#include "tools/level/LevelSolver.h"

TEST(LevelPicture, PutsCellsMarksAndTheWayWhereTheyBelong)
{
    const LevelFile level = levelFromText(
        lines({"2x2x2x2x2x", "2x2x2S2x2x", "2x0x2x0x2x", "2222222222", "2x2x2x2x2x", "5x4x3x2x1x", "2x2x2Z2x2x"}));
    const SolveResult solved = solveLevel(level, {});
    ASSERT_EQ(solved.outcome, SolveResult::Outcome::Winnable);
    const Picture picture = drawLevel(level, {}, "test");
    const PictureLayout at = pictureLayout();
    EXPECT_GE(picture.width(), at.gridLeft + 7 * at.cell);
    EXPECT_EQ(picture.at(at.centreX(1), at.centreY(2)), picture::start);
    EXPECT_EQ(picture.at(at.gridLeft + 6 * at.cell + 1, at.centreY(2)), picture::finish);
    EXPECT_EQ(picture.at(at.gridLeft + 3 * at.cell + 1, at.centreY(0)), picture::invisibleEdge);
    EXPECT_EQ(picture.at(at.centreX(2), at.centreY(1)), picture::empty);
    for (int column = 0; column < 5; ++column) // a corner clear of the height digit and of the way
        EXPECT_EQ(picture.at(at.gridLeft + 6 * at.cell - 4, at.gridTop + (column + 1) * at.cell - 4),
                  picture::stone(5 - column))
            << "column " << column + 1;
    // The hero's way lies under the line drawn for it, in the colour of a run on the ground or
    // of a flight. Points near a point of the other kind are left out: where the hero takes
    // off or lands, or stands before a jump, the two lines overlap.
    const std::vector<PathPoint>& path = solved.played.path;
    const Picture withWay = drawLevel(level, path, "test");
    const auto pixel = [&](const PathPoint& point) {
        return glm::vec2(at.pixelX(-point.position.z), at.pixelY(point.position.x));
    };
    int ground = 0, air = 0;
    for (const PathPoint& point : path) {
        bool alone = true;
        for (const PathPoint& other : path)
            alone = alone &&
                    (other.onGround == point.onGround || glm::distance(pixel(other), pixel(point)) > at.cell / 4.0f);
        if (!alone)
            continue;
        const Colour way = withWay.at(static_cast<int>(pixel(point).x), static_cast<int>(pixel(point).y));
        EXPECT_EQ(way, point.onGround ? picture::run : picture::jump) << point.position.x << ", " << point.position.z;
        (point.onGround ? ground : air) += 1;
    }
    EXPECT_GT(ground, 10);
    EXPECT_GT(air, 10);
}
