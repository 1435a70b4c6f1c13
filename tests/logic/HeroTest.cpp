#include "scene/Hero.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr double dt = 0.025; // one frame at 60 Hz in game time at difficulty 2

// A hero that remembers which sounds it asked for: in the air, or standing on a column of the
// given height, settled by one update.
class ListeningHero : public Hero {
public:
    explicit ListeningHero(glm::vec3 position) : Hero(position) {}
    explicit ListeningHero(int height) : ListeningHero(glm::vec3(2.5f, static_cast<float>(height), -3.5f))
    {
        groundHeight = height;
        step();
        sounds.take();
    }
    bool heard(Sound sound) const
    {
        const std::vector<SoundRequest>& made = sounds.made();
        return std::any_of(made.begin(), made.end(), [&](const SoundRequest& request) {
            return request.kind == SoundRequest::Kind::Play && request.sound == sound && !request.loop;
        });
    }
    // One update with the flame `gap` units behind (towards +z).
    void step(float gap = 3.0f) { updateHero(dt, position + glm::vec3(0.0f, 1.0f, gap)); }
};

} // namespace

TEST(Hero, StandsSilentlyAndWalksThreeQuartersOfItsVelocityForOneUpdate)
{
    ListeningHero hero(1);
    for (int i = 0; i < 100; ++i)
        hero.step();
    EXPECT_FLOAT_EQ(hero.position.y, 1.0f);
    EXPECT_TRUE(hero.onGround);
    EXPECT_TRUE(hero.sounds.empty());

    const float startX = hero.position.x;
    hero.setVelocity(glm::vec3(2.5f, 0.0f, 0.0f));
    hero.step();
    EXPECT_NEAR(hero.position.x - startX, 1.875 * dt, 1e-6);
    EXPECT_TRUE(hero.heard(Sound::Footsteps));
    hero.step();
    EXPECT_NEAR(hero.position.x - startX, 1.875 * dt, 1e-6) << "the velocity lasts one update";
}

TEST(Hero, JumpRisesAboutOnePointThreeAndLandsBackOnlyFromTheGround)
{
    ListeningHero hero(2);
    hero.jump();
    EXPECT_TRUE(hero.heard(Sound::Jump));
    float top = hero.position.y;
    int frames = 0;
    do {
        hero.step();
        top = std::max(top, hero.position.y);
        ++frames;
    } while (!hero.onGround && frames < 400);
    // Rising at 4.8 - 2.0 and slowing by 3.0 per second peaks at 2.8^2 / 6 above take-off.
    EXPECT_NEAR(top - 2.0f, 2.8 * 2.8 / 6.0, 0.04);
    EXPECT_FLOAT_EQ(hero.position.y, 2.0f);
    // Back below the take-off height about 1.92 s after the jump; the frame-wise steps,
    // which use each frame's starting speed, stay up a frame or two longer.
    EXPECT_NEAR(frames * dt, 1.92, 0.08);

    ListeningHero falling(glm::vec3(2.5f, 3.0f, -3.5f));
    falling.groundHeight = 1;
    falling.step();
    falling.jump();
    EXPECT_TRUE(falling.heard(Sound::Jump)) << "a jump in the air only makes the sound";
    EXPECT_EQ(falling.jumpVelocity, glm::vec3(0.0f));
}

TEST(Hero, MetersFillOutsideTheBandAndDecayInsideItUpToExactly2And4)
{
    for (float gap : {2.0f, 4.0f}) {
        ListeningHero hero(1);
        hero.nearMeter = hero.farMeter = 0.5f;
        hero.step(gap);
        EXPECT_NEAR(hero.nearMeter, 0.5 - 0.05 * dt, 1e-6) << "gap " << gap;
        EXPECT_NEAR(hero.farMeter, 0.5 - 0.05 * dt, 1e-6) << "gap " << gap;
    }
    ListeningHero near(1);
    near.step(1.5f);
    EXPECT_NEAR(near.nearMeter, 0.5 * dt * 0.4, 1e-6);
    EXPECT_TRUE(near.heard(Sound::HeroBurning));
    ListeningHero far(1);
    far.step(10.0f);
    EXPECT_NEAR(far.farMeter, 2.1 * dt, 1e-6) << "the far meter's rate is capped at 3 * 0.7";
    ListeningHero decaying(1);
    decaying.nearMeter = 0.0001f;
    decaying.step();
    EXPECT_EQ(decaying.nearMeter, 0.0f) << "no meter goes below 0";
}

TEST(Hero, AFullMeterAFallOrAHigherColumnCostsExactlyOneLife)
{
    ListeningHero burnt(1);
    burnt.nearMeter = 0.999f;
    burnt.step(0.5f);
    ListeningHero lost(1);
    lost.farMeter = 0.999f;
    lost.step(9.0f);
    // Falling below 0 while a meter is also full still takes one life only.
    ListeningHero falling(glm::vec3(2.5f, 0.01f, -3.5f));
    falling.farMeter = 0.999f;
    falling.step(9.0f);
    for (const ListeningHero* hero : std::initializer_list<const ListeningHero*>{&burnt, &lost, &falling}) {
        EXPECT_TRUE(hero->died);
        EXPECT_EQ(hero->lives, 3);
    }
    EXPECT_TRUE(falling.heard(Sound::Falling));

    // Walking into a higher column without jumping sinks through it.
    ListeningHero blocked(1);
    blocked.groundHeight = 2;
    for (int i = 0; i < 100 && !blocked.died; ++i)
        blocked.step();
    EXPECT_TRUE(blocked.died);
    EXPECT_TRUE(blocked.heard(Sound::Falling));
}
