// What the debug keys change in GL: the polygon mode and the texture filters, applied by the
// renderer before the frame that follows the key.
#include "GlSupport.h"

#include "gl/Texture.h"

namespace {

class DebugViewsTest : public GlGameTest {
protected:
    // The colour images of everything the lit and glow passes draw.
    std::vector<const Texture*> colourTextures() const
    {
        std::vector<const Texture*> textures;
        for (ModelKind kind : {ModelKind::Hero, ModelKind::Cube, ModelKind::InvisibleCube, ModelKind::Flame,
                               ModelKind::Propeller, ModelKind::GlowQuad})
            textures.push_back(renderer->models()[kind].colorTexture.get());
        return textures;
    }

    GLint minFilterOf(ModelKind kind) const
    {
        return textureParameter(renderer->models()[kind].colorTexture->name, GL_TEXTURE_MIN_FILTER);
    }
};

} // namespace

TEST_F(DebugViewsTest, F3DrawsLinesFromTheFrameAfterItsReportUntilStruckAgain)
{
    loopFrame();
    strikeKey(Key::F3);
    loopFrame(); // drawn filled; its report switches to lines
    EXPECT_EQ(glInteger(GL_POLYGON_MODE), GL_FILL);
    loopFrame();
    EXPECT_EQ(glInteger(GL_POLYGON_MODE), GL_LINE);
    strikeKey(Key::F3);
    loopFrame();
    loopFrame();
    EXPECT_EQ(glInteger(GL_POLYGON_MODE), GL_FILL);
}

TEST_F(DebugViewsTest, TextureStrokesApplyTheFilterTableToEveryColourTexture)
{
    buildLevel("1x1x121x1x\n1x1S1x1x1x\n");
    ASSERT_EQ(game->invisCubes().size(), 1u);
    for (const Texture* texture : colourTextures())
        ASSERT_NE(texture->name, 0u);

    struct Stroke {
        int value;
        bool mipmapMode;
        GLint minFilter;
        GLint magFilter;
    };
    // Starting from linear mipmapped textures; any mipmap value but 0 and 1 is linear between.
    const Stroke strokes[] = {
        {0, false, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
        {1, true, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST},
        {7, true, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
        {0, true, GL_NEAREST, GL_NEAREST},
        {1, false, GL_LINEAR, GL_LINEAR},
        {1, true, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR},
        {2, true, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
    };
    for (const Stroke& stroke : strokes) {
        SCOPED_TRACE(std::to_string(stroke.value) + (stroke.mipmapMode ? " (mipmap)" : " (sampling)"));
        glEnable(0xFFFF); // a pending GL_INVALID_ENUM, which a mipmap stroke discards
        renderer->applyDebugViews(false, {TextureSamplingChange{stroke.value, stroke.mipmapMode}});
        EXPECT_EQ(glGetError() == GL_NO_ERROR, stroke.mipmapMode);
        EXPECT_EQ(takeGlDebugErrors().size(), 1u) << "the provoked error, and nothing else";
        for (const Texture* texture : colourTextures()) {
            EXPECT_EQ(textureParameter(texture->name, GL_TEXTURE_MIN_FILTER), stroke.minFilter);
            EXPECT_EQ(textureParameter(texture->name, GL_TEXTURE_MAG_FILTER), stroke.magFilter);
            EXPECT_EQ(stroke.mipmapMode ? texture->mipmapMode : texture->samplingMode, stroke.value);
        }
    }
    EXPECT_EQ(glInteger(GL_TEXTURE_BINDING_2D), 0);
    EXPECT_EQ(glInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
}

TEST_F(DebugViewsTest, AnF4StrokeReachesTheTexturesBeforeTheNextFrameIsDrawn)
{
    buildLevel("1x1x121x1x\n1x1S1x1x1x\n");
    pressKey(Key::F4);
    loopFrame();
    EXPECT_TRUE(game->takeSamplingChanges().empty()) << "the renderer took the change";
    for (const Texture* texture : colourTextures())
        EXPECT_EQ(textureParameter(texture->name, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    releaseKey(Key::F4);
    loopFrame();
    for (const Texture* texture : colourTextures())
        EXPECT_EQ(textureParameter(texture->name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
}

// F4 and F5 reach the colour textures of the objects the level has: the hero, the flame, the
// propeller and the glow's quad always, the cubes and the invisible cubes, whose textures are
// their own, only where the level has some. Level 1 has no invisible cubes: they keep their
// filters there, and show them on level 2.
TEST_F(DebugViewsTest, TextureKeysReachTheTexturesOfTheObjectsTheLevelHas)
{
    ASSERT_TRUE(game->invisCubes().empty()) << "level 1";
    strikeKey(Key::F5); // nearest mipmap on the release
    loopFrame();
    for (ModelKind kind : {ModelKind::Hero, ModelKind::Cube, ModelKind::Flame, ModelKind::GlowQuad})
        EXPECT_EQ(minFilterOf(kind), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(minFilterOf(ModelKind::InvisibleCube), GL_LINEAR_MIPMAP_LINEAR);

    // Across level 1's finish.
    change([&](LevelState& scene) { scene.hero.position = scene.finishCube->position + glm::vec3(0.5f, 0.0f, -0.5f); });
    loopFrame();
    ASSERT_EQ(game->currentLevel(), 2);
    ASSERT_FALSE(game->invisCubes().empty());
    loopFrame();
    EXPECT_EQ(minFilterOf(ModelKind::Cube), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(minFilterOf(ModelKind::InvisibleCube), GL_LINEAR_MIPMAP_LINEAR) << "the invisible cubes' own filter";
    EXPECT_EQ(renderer->models()[ModelKind::InvisibleCube].colorTexture->mipmapMode, 2);

    pressKey(Key::F5); // the level held now, nearest mipmap, on the press
    loopFrame();
    EXPECT_EQ(minFilterOf(ModelKind::Cube), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(minFilterOf(ModelKind::InvisibleCube), GL_LINEAR_MIPMAP_NEAREST) << "level 2 has invisible cubes";
    releaseKey(Key::F5); // linear between mipmaps
    loopFrame();

    // A level of invisible cubes only: the plain cubes keep theirs.
    buildLevel("2222222222\n");
    ASSERT_TRUE(game->cubes().empty());
    strikeKey(Key::F5); // no mipmaps on the release
    loopFrame();
    EXPECT_EQ(minFilterOf(ModelKind::InvisibleCube), GL_LINEAR);
    EXPECT_EQ(minFilterOf(ModelKind::Hero), GL_LINEAR);
    EXPECT_EQ(minFilterOf(ModelKind::Cube), GL_LINEAR_MIPMAP_LINEAR) << "no cube on the level";
}
