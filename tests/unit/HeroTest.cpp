#include "scene/Hero.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr double dt = 0.025; // one frame at 60 Hz in game time at difficulty 2

// A hero without a model that remembers which sounds it asked for.
class ListeningHero : public Hero {
public:
    explicit ListeningHero(glm::vec3 position) : Hero(position, ModelSource::Detached) {}
    void playSound(int id, bool) override { sounds.push_back(id); }
    bool heard(int id) const { return std::count(sounds.begin(), sounds.end(), id) > 0; }
    std::vector<int> sounds;
};

// The flame kept at a fixed z distance behind the hero (towards +z).
glm::vec3 flameBehind(const Hero& hero, float gap) { return hero.position + glm::vec3(0.0f, 1.0f, gap); }

// A hero standing on a column of the given height, settled by one update.
ListeningHero standingHero(int height)
{
    ListeningHero hero(glm::vec3(2.5f, static_cast<float>(height), -3.5f));
    hero.groundHeight = height;
    hero.updateHero(dt, flameBehind(hero, 3.0f));
    hero.sounds.clear();
    return hero;
}

} // namespace

TEST(Hero, StandingOnAColumnStaysPutSilently)
{
    ListeningHero hero = standingHero(1);
    for (int i = 0; i < 100; ++i) {
        hero.updateHero(dt, flameBehind(hero, 3.0f));
        ASSERT_FLOAT_EQ(hero.position.y, 1.0f);
        ASSERT_TRUE(hero.onGround);
    }
    EXPECT_TRUE(hero.sounds.empty());
    EXPECT_FALSE(hero.died);
    EXPECT_EQ(hero.lives, 4);
}

TEST(Hero, StepsAreClearedAfterEveryUpdate)
{
    ListeningHero hero = standingHero(1);
    const float startX = hero.position.x;
    hero.setVelocity(glm::vec3(2.5f, 0.0f, 0.0f));
    hero.updateHero(dt, flameBehind(hero, 3.0f));
    EXPECT_NEAR(hero.position.x - startX, 1.875 * dt, 1e-6);
    EXPECT_TRUE(hero.heard(4));
    EXPECT_EQ(hero.velocity, glm::vec3(0.0f));

    hero.sounds.clear();
    const float afterStep = hero.position.x;
    hero.updateHero(dt, flameBehind(hero, 3.0f));
    EXPECT_FLOAT_EQ(hero.position.x, afterStep);
    EXPECT_FALSE(hero.heard(4));
    // The model matrix is the pure translation to the new place.
    EXPECT_EQ(glm::vec3(hero.modelMatrix[3]), hero.position);
}

TEST(Hero, JumpRisesAboutOnePointThreeAndLandsBack)
{
    ListeningHero hero = standingHero(2);
    hero.jump();
    EXPECT_TRUE(hero.heard(5));
    EXPECT_FLOAT_EQ(hero.jumpVelocity.y, 4.8f);

    float top = hero.position.y;
    int frames = 0;
    do {
        hero.updateHero(dt, flameBehind(hero, 3.0f));
        top = std::max(top, hero.position.y);
        ++frames;
    } while (!hero.onGround && frames < 400);

    // Rising at 4.8 - 2.0 and slowing by 3.0 per second peaks at 2.8^2 / 6 above take-off.
    EXPECT_NEAR(top - 2.0f, 2.8 * 2.8 / 6.0, 0.04);
    EXPECT_FLOAT_EQ(hero.position.y, 2.0f);
    // Back below the take-off height about 1.92 s after the jump; the frame-wise steps,
    // which use each frame's starting speed, stay up a frame or two longer.
    EXPECT_NEAR(frames * dt, 1.92, 0.08);
}

TEST(Hero, JumpingInTheAirOnlyMakesTheSound)
{
    ListeningHero hero(glm::vec3(2.5f, 3.0f, -3.5f));
    hero.groundHeight = 1;
    hero.updateHero(dt, flameBehind(hero, 3.0f));
    ASSERT_FALSE(hero.onGround);
    hero.jump();
    EXPECT_TRUE(hero.heard(5));
    EXPECT_EQ(hero.jumpVelocity, glm::vec3(0.0f));
}

namespace {

// Jumps from a column of height 1 and, once airborne, puts a column of `target` under the
// hero (as walking onto the neighbouring cell would); returns whether it lands on it.
bool landsOn(int target, ListeningHero& hero)
{
    hero = standingHero(1);
    hero.jump();
    hero.updateHero(dt, flameBehind(hero, 3.0f));
    hero.groundHeight = target;
    for (int i = 0; i < 400 && !hero.died; ++i) {
        hero.updateHero(dt, flameBehind(hero, 3.0f));
        if (hero.onGround)
            return hero.position.y == static_cast<float>(target);
    }
    return false;
}

} // namespace

TEST(Hero, OneHigherCanBeClimbedTwoHigherCannot)
{
    ListeningHero hero(glm::vec3(0.0f));
    EXPECT_TRUE(landsOn(2, hero));
    EXPECT_FALSE(landsOn(3, hero));
    EXPECT_TRUE(hero.died) << "a hero inside a column sinks through it";

    // Walking into a higher column without jumping sinks through it as well.
    hero = standingHero(1);
    hero.groundHeight = 2;
    for (int i = 0; i < 100 && !hero.died; ++i)
        hero.updateHero(dt, flameBehind(hero, 3.0f));
    EXPECT_TRUE(hero.died);
    EXPECT_TRUE(hero.heard(7));
}

TEST(Hero, MetersFillOutsideTheBandAndDecayOnItsEdges)
{
    for (float gap : {2.0f, 4.0f}) {
        ListeningHero hero = standingHero(1);
        hero.nearMeter = 0.5f;
        hero.farMeter = 0.5f;
        hero.updateHero(dt, flameBehind(hero, gap));
        EXPECT_NEAR(hero.nearMeter, 0.5 - 0.05 * dt, 1e-6) << "gap " << gap;
        EXPECT_NEAR(hero.farMeter, 0.5 - 0.05 * dt, 1e-6) << "gap " << gap;
    }

    ListeningHero near = standingHero(1);
    near.updateHero(dt, flameBehind(near, 1.5f));
    EXPECT_NEAR(near.nearMeter, 0.5 * dt * 0.4, 1e-6);
    EXPECT_TRUE(near.heard(6));

    ListeningHero far = standingHero(1);
    far.updateHero(dt, flameBehind(far, 10.0f));
    EXPECT_NEAR(far.farMeter, 2.1 * dt, 1e-6) << "the far meter's rate is capped at 3 * 0.7";

    ListeningHero decaying = standingHero(1);
    decaying.nearMeter = 0.0001f;
    decaying.updateHero(dt, flameBehind(decaying, 3.0f));
    EXPECT_EQ(decaying.nearMeter, 0.0f);
}

TEST(Hero, AFullMeterOrAFallCostsExactlyOneLife)
{
    ListeningHero burnt = standingHero(1);
    burnt.nearMeter = 0.999f;
    burnt.updateHero(dt, flameBehind(burnt, 0.5f));
    EXPECT_TRUE(burnt.died);
    EXPECT_EQ(burnt.lives, 3);

    ListeningHero lost = standingHero(1);
    lost.farMeter = 0.999f;
    lost.updateHero(dt, flameBehind(lost, 9.0f));
    EXPECT_TRUE(lost.died);
    EXPECT_EQ(lost.lives, 3);

    // Falling below 0 while a meter is also full still takes one life only.
    ListeningHero falling(glm::vec3(2.5f, 0.01f, -3.5f));
    falling.farMeter = 0.999f;
    falling.updateHero(dt, flameBehind(falling, 9.0f));
    EXPECT_TRUE(falling.died);
    EXPECT_EQ(falling.lives, 3);
    EXPECT_TRUE(falling.heard(7));
}
