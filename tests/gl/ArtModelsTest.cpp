// The generated models, imported as the renderer imports them: its import flags, first mesh
// only, texture coordinates times each kind's uv scale. What matters is the geometry the game
// ends up with: where it lies and which way its triangles face.
#include "GlSupport.h"

#include "assets/DecodedImage.h"
#include "assets/MeshImport.h"
#include "render/ModelLibrary.h"
#include "scene/Propeller.h"

#include <array>
#include <cmath>
#include <map>

namespace {

const ModelKind kKinds[] = {ModelKind::Cube,      ModelKind::Hero, ModelKind::Flame,
                            ModelKind::Propeller, ModelKind::Bar,  ModelKind::GlowQuad};

struct Geometry {
    std::vector<glm::vec3> positions, normals;
    std::vector<glm::vec2> uvs;
    std::vector<std::array<unsigned, 3>> triangles;
};

// A kind's model, imported as the renderer imports it.
Geometry model(ModelKind kind)
{
    Mesh mesh;
    EXPECT_TRUE(importMesh("Tindral/3DModels/" + modelName(kind) + ".obj", modelUvScale(kind), mesh));
    Geometry g;
    for (size_t v = 0; 3 * v < mesh.positions.size(); ++v) {
        g.positions.emplace_back(mesh.positions[3 * v], mesh.positions[3 * v + 1], mesh.positions[3 * v + 2]);
        g.normals.emplace_back(mesh.normals[3 * v], mesh.normals[3 * v + 1], mesh.normals[3 * v + 2]);
        g.uvs.emplace_back(mesh.uvs[2 * v], mesh.uvs[2 * v + 1]);
    }
    for (size_t i = 0; i + 2 < mesh.indices.size(); i += 3)
        g.triangles.push_back({mesh.indices[i], mesh.indices[i + 1], mesh.indices[i + 2]});
    return g;
}

struct Bounds {
    glm::vec3 min{1e9f}, max{-1e9f};
};

Bounds boundsOf(const std::vector<glm::vec3>& points)
{
    Bounds b;
    for (const glm::vec3& p : points) {
        b.min = glm::min(b.min, p);
        b.max = glm::max(b.max, p);
    }
    return b;
}

glm::vec3 faceNormal(const Geometry& m, const std::array<unsigned, 3>& t)
{
    return glm::cross(m.positions[t[1]] - m.positions[t[0]], m.positions[t[2]] - m.positions[t[0]]);
}

// In a closed surface whose triangles all turn the same way, every edge is walked once in
// each direction by the two triangles that share it.
int unpairedEdges(const Geometry& m)
{
    const auto at = [&](unsigned v) { return std::array{m.positions[v].x, m.positions[v].y, m.positions[v].z}; };
    std::map<std::array<std::array<float, 3>, 2>, int> walked;
    for (const auto& t : m.triangles)
        for (int i = 0; i < 3; ++i)
            ++walked[{at(t[i]), at(t[(i + 1) % 3])}];
    int unpaired = 0;
    for (const auto& [edge, count] : walked)
        unpaired += count != 1 || walked.count({edge[1], edge[0]}) == 0;
    return unpaired;
}

} // namespace

// Every face of a file is in the first mesh, the only one the game reads; normals are unit
// long; and no run of three consecutive vertices, from which the game derives tangents by
// dividing by their texture-space area, is flat in texture space.
TEST(ArtModelsTest, EveryFaceIsInTheFirstMeshWithUnitNormalsAndUsableUvs)
{
    for (ModelKind kind : kKinds) {
        SCOPED_TRACE(modelName(kind));
        const Geometry m = model(kind);
        std::ifstream obj("Tindral/3DModels/" + modelName(kind) + ".obj");
        size_t faces = 0;
        for (std::string line; std::getline(obj, line);)
            faces += line.rfind("f ", 0) == 0;
        ASSERT_GT(faces, 0u);
        EXPECT_GE(m.triangles.size(), faces);
        int flatRuns = 0;
        for (size_t i = 0, n = m.uvs.size(); i < n; ++i) {
            EXPECT_NEAR(glm::length(m.normals[i]), 1.0f, 1e-3f);
            const glm::dvec2 d1 = m.uvs[(i + 1) % n] - m.uvs[i], d2 = m.uvs[(i + 2) % n] - m.uvs[i];
            flatRuns += std::abs(d1.x * d2.y - d1.y * d2.x) < 2e-7;
        }
        EXPECT_EQ(flatRuns, 0);
    }
}

TEST(ArtModelsTest, SolidsAreClosedAndFaceOutwardAndScreenQuadsFaceTheViewer)
{
    for (ModelKind kind : {ModelKind::Cube, ModelKind::Hero, ModelKind::Flame, ModelKind::Propeller}) {
        SCOPED_TRACE(modelName(kind));
        const Geometry m = model(kind);
        EXPECT_EQ(unpairedEdges(m), 0);
        int disagreeing = 0;
        for (const auto& t : m.triangles)
            for (unsigned v : t)
                disagreeing += glm::dot(glm::normalize(faceNormal(m, t)), m.normals[v]) < 0.5f;
        EXPECT_EQ(disagreeing, 0) << "vertex normals and winding disagree";
    }
    // The HUD bar (from its left edge) and the glow quad go straight to clip space; with back
    // faces culled they must wind counter-clockwise in x-y, and cover their rectangle once.
    for (ModelKind kind : {ModelKind::Bar, ModelKind::GlowQuad}) {
        SCOPED_TRACE(modelName(kind));
        const Geometry m = model(kind);
        const Bounds b = boundsOf(m.positions);
        EXPECT_EQ(b.min, glm::vec3(kind == ModelKind::Bar ? 0 : -1, -1, 0));
        EXPECT_EQ(b.max, glm::vec3(1, 1, 0));
        float area = 0;
        for (const auto& t : m.triangles) {
            EXPECT_GT(faceNormal(m, t).z, 0.0f);
            area += 0.5f * faceNormal(m, t).z;
        }
        EXPECT_NEAR(area, (b.max.x - b.min.x) * (b.max.y - b.min.y), 1e-5f);
    }
}

TEST(ArtModelsTest, GeometrySitsWhereTheGameDrawsIt)
{
    // Cube: drawn at (column, height, -row); covers its cell with the top at the height and
    // its sides hanging far down.
    const Bounds cube = boundsOf(model(ModelKind::Cube).positions);
    EXPECT_EQ(cube.max, glm::vec3(1, 0, 0));
    EXPECT_EQ(glm::vec2(cube.min.x, cube.min.z), glm::vec2(0, -1));
    EXPECT_LE(cube.min.y, -5.0f);

    // Hero: stands on its origin, about 1.2 tall and narrow; only the mast reaches up to the
    // propeller's hub at 1.35.
    const Bounds hero = boundsOf(model(ModelKind::Hero).positions);
    EXPECT_NEAR(hero.min.y, 0.0f, 1e-5f);
    EXPECT_TRUE(hero.max.y > 1.1f && hero.max.y <= 1.35f + 1e-5f) << hero.max.y;
    EXPECT_NEAR(hero.min.x + hero.max.x, 0.0f, 0.02f);
    EXPECT_TRUE(hero.max.x - hero.min.x < 0.6f && std::max(-hero.min.z, hero.max.z) < 0.3f) << "not narrow";

    // Flame: a drop of about half a unit around its origin, round end down, point up.
    const Geometry flame = model(ModelKind::Flame);
    const Bounds drop = boundsOf(flame.positions);
    const glm::vec3 middle = (drop.min + drop.max) * 0.5f;
    EXPECT_LT(glm::length(middle), 0.02f);
    EXPECT_NEAR(drop.max.y - drop.min.y, 0.5f, 0.1f);
    float widestY = 0, widest = 0, radiusNearTip = 0;
    for (const glm::vec3& p : flame.positions) {
        const float r = std::hypot(p.x, p.z);
        if (r > widest)
            std::tie(widest, widestY) = std::pair(r, p.y);
        if (p.y > drop.max.y - 0.1f)
            radiusNearTip = std::max(radiusNearTip, r);
    }
    EXPECT_LT(widestY, middle.y);
    EXPECT_LT(radiusNearTip, 0.5f * widest);

    // Propeller: whatever its spin on the hero's head, the blades stay in one thin disc about
    // its hub, and nothing of the hero reaches into that disc.
    const glm::vec3 hub(0, 1.35f, -0.1f);
    const Geometry blades = model(ModelKind::Propeller);
    float radius = 0;
    Propeller propeller(glm::vec3(0.0f));
    for (const double spin : {0.0, 1.3, 3.0, 6.6, 10.5}) {
        propeller.updateWithParent(glm::mat4(1.0f), spin);
        for (const glm::vec3& p : blades.positions) {
            const glm::vec3 w = glm::vec3(propeller.modelMatrix * glm::vec4(p, 1)) - hub;
            radius = std::max(radius, std::hypot(w.x, w.y));
            EXPECT_TRUE(std::hypot(w.x, w.y) <= 0.1f || std::abs(w.z) < 0.02f) << "a blade leaves the disc";
        }
    }
    EXPECT_TRUE(radius >= 0.125f && radius <= 0.2f) << radius;
    for (const glm::vec3& p : model(ModelKind::Hero).positions)
        EXPECT_TRUE(std::abs(p.z - hub.z) >= 0.02f || std::hypot(p.x - hub.x, p.y - hub.y) > radius);
}

TEST(ArtModelsTest, TextureCoordinatesAndNormalMapsFitHowEachModelIsLit)
{
    // The glow quad samples render targets: (0, 0) at the bottom-left corner of the screen.
    const Geometry plane = model(ModelKind::GlowQuad);
    for (size_t v = 0; v < plane.positions.size(); ++v)
        EXPECT_LT(glm::length(plane.uvs[v] - (glm::vec2(plane.positions[v]) + 1.0f) * 0.5f), 1e-5f);

    // The hero and the propeller each share one image between several materials; their
    // coordinates must stay inside it rather than repeat into a neighbouring material.
    for (ModelKind kind : {ModelKind::Hero, ModelKind::Propeller})
        for (const glm::vec2& uv : model(kind).uvs)
            EXPECT_TRUE(uv.x >= 0 && uv.y >= 0 && uv.x <= 1 && uv.y <= 1) << modelName(kind);

    // Every texel of a tangent-space normal map is a unit vector leaning out of the surface,
    // allowing a few for the JPEG's ringing.
    for (ModelKind kind : kKinds) {
        SCOPED_TRACE(modelName(kind));
        const DecodedImage normals("Tindral/3DModels/" + modelName(kind) + "_norm.jpg", 1 << 14);
        ASSERT_TRUE(normals.converted);
        const size_t texels = static_cast<size_t>(normals.width * normals.height);
        int bad = 0;
        glm::vec3 mean{0};
        for (const unsigned char *rgb = normals.pixels(), *end = rgb + 3 * texels; rgb < end; rgb += 3) {
            const glm::vec3 n = glm::vec3(rgb[0], rgb[1], rgb[2]) / 127.5f - 1.0f;
            bad += std::abs(glm::length(n) - 1.0f) > 0.1f || n.z < 0.2f;
            mean += n / static_cast<float>(texels);
        }
        EXPECT_LT(bad, static_cast<int>(texels / 100));
        EXPECT_GT(mean.z, 0.9f);
        EXPECT_LT(std::max(std::abs(mean.x), std::abs(mean.y)), 0.05f);
    }
}
