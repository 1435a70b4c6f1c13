// What the debug keys change in GL: the polygon mode and the texture filters, applied by the
// renderer before the frame that follows the key.
#include "GlSupport.h"

#include "assets/Texture.h"
#include "scene/Cube.h"
#include "scene/Flame.h"
#include "scene/PlaneAndPropeller.h"

namespace {

void strike(int key)
{
    pressKey(key);
    releaseKey(key);
}

class DebugViewsTest : public GlGameTest {
protected:
    // One frame as the frame loop runs it.
    void frame()
    {
        printedBy([&] {
            renderer->clearFrame();
            game->update(gameStep);
            renderer->renderFrame(*game);
            game->printDebugReport(1.0f / 60.0f);
        });
    }

    std::vector<Texture*> colourTextures() const
    {
        return {game->hero->model.colorTexture.get(),      game->cubes[0]->model.colorTexture.get(),
                game->invisCubes[0]->model.colorTexture.get(), game->flame->model.colorTexture.get(),
                game->propeller->model.colorTexture.get(), game->plane->model.colorTexture.get()};
    }
};

} // namespace

TEST_F(DebugViewsTest, F3DrawsLinesFromTheFrameAfterItsReportUntilStruckAgain)
{
    frame();
    strike(GLFW_KEY_F3);
    frame(); // drawn filled; its report switches to lines
    EXPECT_EQ(glInteger(GL_POLYGON_MODE), GL_FILL);
    frame();
    EXPECT_EQ(glInteger(GL_POLYGON_MODE), GL_LINE);
    strike(GLFW_KEY_F3);
    frame();
    frame();
    EXPECT_EQ(glInteger(GL_POLYGON_MODE), GL_FILL);
}

TEST_F(DebugViewsTest, TextureStrokesApplyTheFilterTableToEveryColourTexture)
{
    buildLevel("1x1x121x1x\n1x1S1x1x1x\n");
    ASSERT_EQ(game->invisCubes.size(), 1u);
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
        {0, false, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST}, {1, true, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST},
        {7, true, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},  {0, true, GL_NEAREST, GL_NEAREST},
        {1, false, GL_LINEAR, GL_LINEAR},                 {1, true, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR},
        {2, true, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
    };
    for (const Stroke& stroke : strokes) {
        SCOPED_TRACE(std::to_string(stroke.value) + (stroke.mipmapMode ? " (mipmap)" : " (sampling)"));
        glEnable(0xFFFF); // a pending GL_INVALID_ENUM, which a mipmap stroke discards
        renderer->applyTextureSampling(*game, stroke.value, stroke.mipmapMode);
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
    pressKey(GLFW_KEY_F4);
    frame();
    EXPECT_TRUE(game->samplingChanges.empty()) << "the renderer took the change";
    for (const Texture* texture : colourTextures())
        EXPECT_EQ(textureParameter(texture->name, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    releaseKey(GLFW_KEY_F4);
    frame();
    for (const Texture* texture : colourTextures())
        EXPECT_EQ(textureParameter(texture->name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
}
