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
#include <glm/gtc/matrix_transform.hpp>
#include <map>
#include <numeric>

namespace {

const char* const kNames[] = {"cube", "hero", "flame", "propeller", "bar", "plane"};
const char* const kSolids[] = {"cube", "hero", "flame", "propeller"};

struct Geometry {
    std::vector<glm::vec3> positions, normals;
    std::vector<glm::vec2> uvs;
    std::vector<std::array<unsigned, 3>> triangles;
};

Geometry geometryOf(const Mesh& mesh)
{
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

double uvArea(const Geometry& m, unsigned i0, unsigned i1, unsigned i2)
{
    const glm::dvec2 d1 = m.uvs[i1] - m.uvs[i0], d2 = m.uvs[i2] - m.uvs[i0];
    return 0.5 * (d1.x * d2.y - d1.y * d2.x);
}

using PositionKey = std::array<float, 3>;
PositionKey keyOf(const glm::vec3& p)
{
    return {p.x, p.y, p.z};
}

// In a closed surface whose triangles all turn the same way, every edge is walked once in
// each direction by the two triangles that share it.
int unpairedEdges(const Geometry& m)
{
    std::map<std::pair<PositionKey, PositionKey>, int> walked;
    for (const auto& t : m.triangles)
        for (int i = 0; i < 3; ++i)
            ++walked[{keyOf(m.positions[t[i]]), keyOf(m.positions[t[(i + 1) % 3]])}];
    int unpaired = 0;
    for (const auto& [edge, count] : walked) {
        const auto reverse = walked.find({edge.second, edge.first});
        unpaired += count != 1 || reverse == walked.end() || reverse->second != 1;
    }
    return unpaired;
}

// Signed volume of each closed part (vertices joined by triangles or by a shared position):
// positive when its triangles turn outward.
std::map<int, double> partVolumes(const Geometry& m)
{
    std::vector<int> parent(m.positions.size());
    std::iota(parent.begin(), parent.end(), 0);
    const auto root = [&](int v) {
        while (parent[v] != v)
            v = parent[v] = parent[parent[v]];
        return v;
    };
    std::map<PositionKey, int> firstAt;
    for (size_t v = 0; v < m.positions.size(); ++v)
        parent[root(static_cast<int>(v))] =
            root(firstAt.emplace(keyOf(m.positions[v]), static_cast<int>(v)).first->second);
    for (const auto& t : m.triangles) {
        parent[root(static_cast<int>(t[1]))] = root(static_cast<int>(t[0]));
        parent[root(static_cast<int>(t[2]))] = root(static_cast<int>(t[0]));
    }
    std::map<int, double> volume;
    for (const auto& t : m.triangles) {
        const glm::dvec3 a = m.positions[t[0]], b = m.positions[t[1]], c = m.positions[t[2]];
        volume[root(static_cast<int>(t[0]))] += glm::dot(a, glm::cross(b, c)) / 6.0;
    }
    return volume;
}

class ArtModelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::pair<const char*, ModelKind> kinds[] = {
            {"cube", ModelKind::Cube},           {"hero", ModelKind::Hero}, {"flame", ModelKind::Flame},
            {"propeller", ModelKind::Propeller}, {"bar", ModelKind::Bar},   {"plane", ModelKind::GlowQuad}};
        for (const auto& [name, kind] : kinds) {
            Mesh mesh;
            ASSERT_TRUE(importMesh("Tindral/3DModels/" + modelName(kind) + ".obj", modelUvScale(kind), mesh)) << name;
            models[name] = geometryOf(mesh);
        }
    }

    std::map<std::string, Geometry> models;
};

} // namespace

TEST_F(ArtModelsTest, EveryFaceIsInTheFirstMeshWithUnitNormalsAndUsableUvs)
{
    for (const char* name : kNames) {
        SCOPED_TRACE(name);
        const Geometry& m = models[name];
        std::ifstream obj(std::string("Tindral/3DModels/") + name + "/" + name + ".obj");
        size_t faces = 0;
        for (std::string line; std::getline(obj, line);)
            faces += line.rfind("f ", 0) == 0;
        ASSERT_GT(faces, 0u);
        EXPECT_GE(m.triangles.size(), faces);
        for (const glm::vec3& n : m.normals)
            EXPECT_NEAR(glm::length(n), 1.0f, 1e-3f);
        // The game derives tangents from each run of three consecutive vertices and divides
        // by their texture-space area; none of those runs may be flat in texture space.
        const auto count = static_cast<unsigned>(m.uvs.size());
        int flatRuns = 0;
        for (unsigned i = 0; i < count; ++i)
            flatRuns += std::abs(uvArea(m, i, (i + 1) % count, (i + 2) % count)) < 1e-7;
        EXPECT_EQ(flatRuns, 0);
    }
}

TEST_F(ArtModelsTest, SolidsAreClosedAndFaceOutwardAndScreenQuadsFaceTheViewer)
{
    for (const char* name : kSolids) {
        SCOPED_TRACE(name);
        const Geometry& m = models[name];
        EXPECT_EQ(unpairedEdges(m), 0);
        for (const auto& [part, volume] : partVolumes(m))
            EXPECT_GT(volume, 0.0) << "a part is turned inside out";
        int disagreeing = 0;
        for (const auto& t : m.triangles)
            for (unsigned v : t)
                disagreeing += glm::dot(glm::normalize(faceNormal(m, t)), m.normals[v]) < 0.5f;
        EXPECT_EQ(disagreeing, 0) << "vertex normals and winding disagree";
    }
    // The HUD bar and the glow quad go straight to clip space; with back faces culled they
    // must wind counter-clockwise in x-y, and cover their whole rectangle once.
    for (const char* name : {"bar", "plane"}) {
        SCOPED_TRACE(name);
        const Geometry& m = models[name];
        float area = 0;
        for (const auto& t : m.triangles) {
            EXPECT_GT(faceNormal(m, t).z, 0.0f);
            area += 0.5f * faceNormal(m, t).z;
        }
        const Bounds b = boundsOf(m.positions);
        EXPECT_NEAR(area, (b.max.x - b.min.x) * (b.max.y - b.min.y), 1e-5f);
        for (const glm::vec3& n : m.normals)
            EXPECT_NEAR(n.z, 1.0f, 1e-5f);
    }
}

TEST_F(ArtModelsTest, GeometrySitsWhereTheGameDrawsIt)
{
    // Cube: drawn at (column, height, -row); covers its cell with the top at the height and
    // its sides hanging far down.
    const Bounds cube = boundsOf(models["cube"].positions);
    EXPECT_EQ(cube.min.x, 0.0f);
    EXPECT_EQ(cube.max.x, 1.0f);
    EXPECT_EQ(cube.min.z, -1.0f);
    EXPECT_EQ(cube.max.z, 0.0f);
    EXPECT_EQ(cube.max.y, 0.0f);
    EXPECT_LE(cube.min.y, -5.0f);

    // Hero: stands on its origin, about 1.2 tall and narrow; only the mast reaches up to the
    // propeller's hub at 1.35.
    const Bounds hero = boundsOf(models["hero"].positions);
    EXPECT_NEAR(hero.min.y, 0.0f, 1e-5f);
    EXPECT_GT(hero.max.y, 1.1f);
    EXPECT_LE(hero.max.y, 1.35f + 1e-5f);
    EXPECT_NEAR(hero.min.x + hero.max.x, 0.0f, 0.02f);
    EXPECT_LT(hero.max.x - hero.min.x, 0.6f);
    EXPECT_LT(std::max(-hero.min.z, hero.max.z), 0.3f);

    // Flame: a drop of about half a unit around its origin, round end down, point up.
    const Geometry& flame = models["flame"];
    const Bounds drop = boundsOf(flame.positions);
    const glm::vec3 middle = (drop.min + drop.max) * 0.5f;
    EXPECT_LT(glm::length(middle), 0.02f);
    EXPECT_NEAR(drop.max.y - drop.min.y, 0.5f, 0.1f);
    float widestY = 0, widest = 0, radiusNearTip = 0;
    for (const glm::vec3& p : flame.positions) {
        const float r = std::hypot(p.x, p.z);
        if (r > widest) {
            widest = r;
            widestY = p.y;
        }
        if (p.y > drop.max.y - 0.1f)
            radiusNearTip = std::max(radiusNearTip, r);
    }
    EXPECT_LT(widestY, middle.y);
    EXPECT_LT(radiusNearTip, 0.5f * widest);

    EXPECT_EQ(boundsOf(models["bar"].positions).min, glm::vec3(0, -1, 0));
    EXPECT_EQ(boundsOf(models["bar"].positions).max, glm::vec3(1, 1, 0));
    EXPECT_EQ(boundsOf(models["plane"].positions).min, glm::vec3(-1, -1, 0));
    EXPECT_EQ(boundsOf(models["plane"].positions).max, glm::vec3(1, 1, 0));

    // Propeller: whatever its spin on the hero's head, the blades stay in one thin disc about
    // its hub, and nothing of the hero reaches into that disc.
    const glm::vec3 hub(0, 1.35f, -0.1f);
    float radius = 0;
    Propeller propeller(glm::vec3(0.0f));
    for (const double spin : {0.0, 1.3, 3.0, 6.6, 10.5}) {
        propeller.updateWithParent(glm::mat4(1.0f), spin);
        for (const glm::vec3& p : models["propeller"].positions) {
            const glm::vec3 w = glm::vec3(propeller.modelMatrix * glm::vec4(p, 1)) - hub;
            radius = std::max(radius, std::hypot(w.x, w.y));
            if (std::hypot(w.x, w.y) > 0.1f) {
                EXPECT_LT(std::abs(w.z), 0.02f);
            }
        }
    }
    EXPECT_GE(radius, 0.125f);
    EXPECT_LE(radius, 0.2f);
    for (const glm::vec3& p : models["hero"].positions)
        if (std::abs(p.z - hub.z) < 0.02f) {
            EXPECT_GT(std::hypot(p.x - hub.x, p.y - hub.y), radius);
        }
}

TEST_F(ArtModelsTest, TextureCoordinatesAndNormalMapsFitHowEachModelIsLit)
{
    // The glow quad samples render targets: (0, 0) at the bottom-left corner of the screen.
    const Geometry& plane = models["plane"];
    for (size_t v = 0; v < plane.positions.size(); ++v)
        EXPECT_LT(glm::length(plane.uvs[v] - (glm::vec2(plane.positions[v]) + 1.0f) * 0.5f), 1e-5f);

    // The hero and the propeller each share one image between several materials; their
    // coordinates must stay inside it rather than repeat into a neighbouring material.
    for (const char* name : {"hero", "propeller"})
        for (const glm::vec2& uv : models[name].uvs)
            EXPECT_TRUE(uv.x >= 0 && uv.y >= 0 && uv.x <= 1 && uv.y <= 1) << name;

    // Every texel of a tangent-space normal map is a unit vector leaning out of the surface,
    // allowing a few for the JPEG's ringing.
    for (const char* name : kNames) {
        SCOPED_TRACE(name);
        const DecodedImage normals(std::string("Tindral/3DModels/") + name + "/" + name + "_norm.jpg", 1 << 14);
        ASSERT_TRUE(normals.converted);
        const std::vector<unsigned char> rgb(
            normals.pixels(), normals.pixels() + 3 * static_cast<size_t>(normals.width * normals.height));
        int bad = 0;
        glm::vec3 mean{0};
        for (size_t i = 0; i < rgb.size(); i += 3) {
            const glm::vec3 n = glm::vec3(rgb[i], rgb[i + 1], rgb[i + 2]) / 127.5f - 1.0f;
            bad += std::abs(glm::length(n) - 1.0f) > 0.1f || n.z < 0.2f;
            mean += n;
        }
        mean /= static_cast<float>(rgb.size() / 3);
        EXPECT_LT(bad, static_cast<int>(rgb.size() / 300));
        EXPECT_GT(mean.z, 0.9f);
        EXPECT_LT(std::max(std::abs(mean.x), std::abs(mean.y)), 0.05f);
    }
}
