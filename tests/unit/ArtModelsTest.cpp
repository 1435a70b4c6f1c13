// The generated models, read back the way the game reads them: Assimp with the game's import
// flags, first mesh only, texture coordinates times the object's uvScale. What matters is the
// geometry after import: where it lies and which way its triangles face.
#include <IL/il.h>
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr unsigned kGameImportFlags = 0x1A0000E;
static_assert(kGameImportFlags == (aiProcess_MakeLeftHanded | aiProcess_FlipUVs | aiProcess_FlipWindingOrder |
                                   aiProcess_JoinIdenticalVertices | aiProcess_Triangulate |
                                   aiProcess_OptimizeMeshes),
              "the flags the game imports its models with");

struct ModelInfo {
    const char* name;
    float uvScale;
};
const ModelInfo kCube{"cube", 2.0f}, kHero{"hero", 4.0f}, kFlame{"flame", 1.0f}, kPropeller{"propeller", 4.0f},
    kBar{"bar", 1.0f}, kPlane{"plane", 1.0f};
const ModelInfo kAllModels[] = {kCube, kHero, kFlame, kPropeller, kBar, kPlane};
const ModelInfo kSolidModels[] = {kCube, kHero, kFlame, kPropeller};

std::string modelPath(const ModelInfo& model, const std::string& suffix)
{
    return std::string("Tindral/3DModels/") + model.name + "/" + model.name + suffix;
}

struct Imported {
    unsigned meshCount = 0;
    bool onlyTriangles = true;
    bool hasNormals = false;
    bool hasUvs = false;
    std::vector<glm::vec3> positions;
    std::vector<glm::vec3> normals;
    std::vector<glm::vec2> uvs; // already times uvScale, as the game stores them
    std::vector<std::array<unsigned, 3>> triangles;
};

Imported importLikeTheGame(const ModelInfo& model)
{
    Imported result;
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(modelPath(model, ".obj"), kGameImportFlags);
    if (!scene || scene->mNumMeshes == 0)
        return result;
    result.meshCount = scene->mNumMeshes;
    const aiMesh* mesh = scene->mMeshes[0];
    result.hasNormals = mesh->HasNormals();
    result.hasUvs = mesh->HasTextureCoords(0);
    for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
        const aiVector3D& p = mesh->mVertices[i];
        result.positions.emplace_back(p.x, p.y, p.z);
        if (result.hasNormals)
            result.normals.emplace_back(mesh->mNormals[i].x, mesh->mNormals[i].y, mesh->mNormals[i].z);
        if (result.hasUvs)
            result.uvs.emplace_back(mesh->mTextureCoords[0][i].x * model.uvScale,
                                    mesh->mTextureCoords[0][i].y * model.uvScale);
    }
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        if (face.mNumIndices != 3) {
            result.onlyTriangles = false;
            continue;
        }
        result.triangles.push_back({face.mIndices[0], face.mIndices[1], face.mIndices[2]});
    }
    return result;
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

glm::vec3 faceNormal(const Imported& m, const std::array<unsigned, 3>& t)
{
    const glm::vec3 a = m.positions[t[0]], b = m.positions[t[1]], c = m.positions[t[2]];
    return glm::cross(b - a, c - a);
}

glm::vec3 centroid(const Imported& m, const std::array<unsigned, 3>& t)
{
    return (m.positions[t[0]] + m.positions[t[1]] + m.positions[t[2]]) / 3.0f;
}

// Vertices that share a position belong to the same closed part (a box's faces have separate
// vertices for their own normals; a lathe's seam and poles repeat positions too).
std::vector<int> partOfEachVertex(const Imported& m)
{
    std::vector<int> parent(m.positions.size());
    std::iota(parent.begin(), parent.end(), 0);
    const auto root = [&](int v) {
        while (parent[v] != v)
            v = parent[v] = parent[parent[v]];
        return v;
    };
    const auto join = [&](int a, int b) { parent[root(a)] = root(b); };
    std::map<std::array<float, 3>, int> firstAt;
    for (std::size_t v = 0; v < m.positions.size(); ++v) {
        const auto [it, inserted] = firstAt.emplace(
            std::array<float, 3>{m.positions[v].x, m.positions[v].y, m.positions[v].z}, static_cast<int>(v));
        if (!inserted)
            join(static_cast<int>(v), it->second);
    }
    for (const auto& t : m.triangles) {
        join(static_cast<int>(t[0]), static_cast<int>(t[1]));
        join(static_cast<int>(t[0]), static_cast<int>(t[2]));
    }
    std::vector<int> part(m.positions.size());
    for (std::size_t v = 0; v < part.size(); ++v)
        part[v] = root(static_cast<int>(v));
    return part;
}

std::map<int, glm::vec3> partCentres(const Imported& m, const std::vector<int>& part)
{
    std::map<int, glm::vec3> sum;
    std::map<int, int> count;
    for (std::size_t v = 0; v < part.size(); ++v) {
        sum[part[v]] += m.positions[v];
        ++count[part[v]];
    }
    for (auto& [id, s] : sum)
        s /= static_cast<float>(count[id]);
    return sum;
}

using PositionKey = std::array<float, 3>;
PositionKey keyOf(const glm::vec3& p) { return {p.x, p.y, p.z}; }

// In a closed surface whose triangles all turn the same way, every edge is walked once in
// each direction by the two triangles that share it.
int unpairedEdges(const Imported& m)
{
    std::map<std::pair<PositionKey, PositionKey>, int> walked;
    for (const auto& t : m.triangles)
        for (int i = 0; i < 3; ++i)
            ++walked[{keyOf(m.positions[t[i]]), keyOf(m.positions[t[(i + 1) % 3]])}];
    int unpaired = 0;
    for (const auto& [edge, count] : walked) {
        const auto reverse = walked.find({edge.second, edge.first});
        if (count != 1 || reverse == walked.end() || reverse->second != 1)
            ++unpaired;
    }
    return unpaired;
}

// Signed volume of each part: positive when its triangles turn outward.
std::map<int, double> partVolumes(const Imported& m, const std::vector<int>& part)
{
    std::map<int, double> volume;
    for (const auto& t : m.triangles) {
        const glm::dvec3 a = m.positions[t[0]], b = m.positions[t[1]], c = m.positions[t[2]];
        volume[part[t[0]]] += glm::dot(a, glm::cross(b, c)) / 6.0;
    }
    return volume;
}

double uvDeterminant(const Imported& m, unsigned i0, unsigned i1, unsigned i2)
{
    const glm::vec2 d1 = m.uvs[i1] - m.uvs[i0], d2 = m.uvs[i2] - m.uvs[i0];
    return static_cast<double>(d1.x) * d2.y - static_cast<double>(d1.y) * d2.x;
}

struct DecodedImage {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    glm::vec3 at(int x, int y) const
    {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

// Decoded from memory with the game's image library, which sidesteps its wide file names.
DecodedImage decodeJpeg(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    DecodedImage image;
    ilInit();
    ILuint name = 0;
    ilGenImages(1, &name);
    ilBindImage(name);
    if (!bytes.empty() && ilLoadL(IL_JPG, bytes.data(), static_cast<ILuint>(bytes.size())) &&
        ilConvertImage(IL_RGB, IL_UNSIGNED_BYTE)) {
        image.width = ilGetInteger(IL_IMAGE_WIDTH);
        image.height = ilGetInteger(IL_IMAGE_HEIGHT);
        const ILubyte* data = ilGetData();
        image.rgb.assign(data, data + static_cast<std::size_t>(image.width) * image.height * 3);
    }
    ilBindImage(0);
    ilDeleteImages(1, &name);
    return image;
}

} // namespace

TEST(ArtModels, EachImportsAsOneMeshOfTrianglesWithNormalsAndUvs)
{
    for (const ModelInfo& model : kAllModels) {
        SCOPED_TRACE(model.name);
        const Imported m = importLikeTheGame(model);
        EXPECT_EQ(m.meshCount, 1u);
        ASSERT_FALSE(m.triangles.empty());
        EXPECT_TRUE(m.onlyTriangles);
        ASSERT_TRUE(m.hasNormals);
        ASSERT_TRUE(m.hasUvs);
        for (std::size_t v = 0; v < m.positions.size(); ++v) {
            EXPECT_NEAR(glm::length(m.normals[v]), 1.0f, 1e-3f);
            EXPECT_TRUE(std::isfinite(m.uvs[v].x) && std::isfinite(m.uvs[v].y));
        }
    }
}

TEST(ArtModels, SolidsAreClosedAndFaceOutward)
{
    for (const ModelInfo& model : kSolidModels) {
        SCOPED_TRACE(model.name);
        const Imported m = importLikeTheGame(model);
        ASSERT_TRUE(m.hasNormals);
        EXPECT_EQ(unpairedEdges(m), 0);
        const std::vector<int> part = partOfEachVertex(m);
        for (const auto& [id, volume] : partVolumes(m, part))
            EXPECT_GT(volume, 0.0) << "a part is turned inside out";
        const std::map<int, glm::vec3> centres = partCentres(m, part);
        int disagreeing = 0, inward = 0;
        for (const auto& t : m.triangles) {
            const glm::vec3 n = glm::normalize(faceNormal(m, t));
            for (unsigned v : t)
                disagreeing += glm::dot(n, m.normals[v]) < 0.5f;
            // Every part is convex, so each face looks away from the part's centre.
            inward += glm::dot(n, centroid(m, t) - centres.at(part[t[0]])) <= 0.0f;
        }
        EXPECT_EQ(disagreeing, 0) << "vertex normals and winding disagree";
        EXPECT_EQ(inward, 0) << "triangles facing their part's centre";
    }
}

TEST(ArtModels, ScreenQuadsAreCounterClockwiseOnScreen)
{
    // The HUD bar and the glow quad go straight to clip space; with back faces culled they
    // must wind counter-clockwise in x-y and face +z.
    for (const ModelInfo& model : {kBar, kPlane}) {
        SCOPED_TRACE(model.name);
        const Imported m = importLikeTheGame(model);
        ASSERT_TRUE(m.hasNormals);
        float area = 0;
        for (const auto& t : m.triangles) {
            const float z = faceNormal(m, t).z;
            EXPECT_GT(z, 0.0f);
            area += 0.5f * z;
        }
        const Bounds b = boundsOf(m.positions);
        EXPECT_NEAR(area, (b.max.x - b.min.x) * (b.max.y - b.min.y), 1e-5f);
        for (const glm::vec3& n : m.normals)
            EXPECT_NEAR(n.z, 1.0f, 1e-5f);
    }
}

TEST(ArtModels, GeometrySitsWhereTheGameDrawsIt)
{
    // Cube: drawn at (column, height, -row); covers its cell with the top at the height and
    // its sides hanging far down.
    const Bounds cube = boundsOf(importLikeTheGame(kCube).positions);
    EXPECT_NEAR(cube.min.x, 0.0f, 1e-5f);
    EXPECT_NEAR(cube.max.x, 1.0f, 1e-5f);
    EXPECT_NEAR(cube.min.z, -1.0f, 1e-5f);
    EXPECT_NEAR(cube.max.z, 0.0f, 1e-5f);
    EXPECT_NEAR(cube.max.y, 0.0f, 1e-5f);
    EXPECT_LE(cube.min.y, -5.0f);

    // Hero: stands on its origin, about 1.2 tall; only the mast reaches up to the propeller's
    // hub at 1.35.
    const Bounds hero = boundsOf(importLikeTheGame(kHero).positions);
    EXPECT_NEAR(hero.min.y, 0.0f, 1e-5f);
    EXPECT_GT(hero.max.y, 1.1f);
    EXPECT_LE(hero.max.y, 1.35f + 1e-5f);
    EXPECT_NEAR(hero.min.x + hero.max.x, 0.0f, 0.02f);
    EXPECT_LT(hero.max.x - hero.min.x, 0.6f);
    EXPECT_LT(std::max(-hero.min.z, hero.max.z), 0.3f);

    // Flame: a drop of about half a unit around its origin, pointed at the top.
    const Imported flame = importLikeTheGame(kFlame);
    const Bounds drop = boundsOf(flame.positions);
    const glm::vec3 middle = (drop.min + drop.max) * 0.5f;
    EXPECT_LT(glm::length(middle), 0.02f);
    EXPECT_NEAR(drop.max.y - drop.min.y, 0.5f, 0.1f);
    float widestY = 0, widest = 0, radiusNearTip = 0;
    for (const glm::vec3& p : flame.positions) {
        const float r = std::hypot(p.x, p.z);
        if (r > widest)
            widest = r, widestY = p.y;
        if (p.y > drop.max.y - 0.1f)
            radiusNearTip = std::max(radiusNearTip, r);
    }
    EXPECT_LT(widestY, middle.y) << "the round end is at the bottom";
    EXPECT_LT(radiusNearTip, 0.5f * widest) << "the point is at the top";

    const Bounds bar = boundsOf(importLikeTheGame(kBar).positions);
    EXPECT_EQ(bar.min, glm::vec3(0, -1, 0));
    EXPECT_EQ(bar.max, glm::vec3(1, 1, 0));
    const Bounds plane = boundsOf(importLikeTheGame(kPlane).positions);
    EXPECT_EQ(plane.min, glm::vec3(-1, -1, 0));
    EXPECT_EQ(plane.max, glm::vec3(1, 1, 0));
}

namespace {

// The propeller's matrix in the hero's space, built the way the game builds it.
glm::mat4 propellerOnHero(float spinDegrees)
{
    constexpr float scale = 0.25f;
    const glm::mat4 identity(1.0f);
    const glm::mat4 tilt = glm::rotate(identity, glm::radians(-90.0f), glm::vec3(1, 0, 0));
    const glm::mat4 spin = glm::rotate(identity, glm::radians(spinDegrees), glm::vec3(0, 0, 1));
    const glm::mat4 lift = glm::translate(identity, glm::vec3(0, 1.35f / scale, -0.4f));
    return glm::scale(identity, glm::vec3(scale)) * lift * spin * tilt;
}

} // namespace

TEST(ArtModels, PropellerSpinsInItsOwnPlaneClearOfTheHero)
{
    const Imported propeller = importLikeTheGame(kPropeller);
    const glm::vec3 centre(0, 1.35f, -0.1f);
    float span = 0;
    for (const glm::vec3& p : propeller.positions)
        span = std::max(span, 2 * std::hypot(p.x, p.z));
    EXPECT_GE(span, 1.0f);
    EXPECT_LE(span, 1.6f);
    const float sweep = 0.25f * span / 2; // radius of the disc the blade tips sweep
    // Whatever the spin, the blades stay in one thin disc around the centre.
    for (const float angle : {0.0f, 40.0f, 90.0f, 200.0f, 315.0f}) {
        SCOPED_TRACE(angle);
        const glm::mat4 m = propellerOnHero(angle);
        for (const glm::vec3& p : propeller.positions) {
            const glm::vec3 w = glm::vec3(m * glm::vec4(p, 1)) - centre;
            if (std::hypot(w.x, w.y) > 0.1f) {
                EXPECT_LT(std::abs(w.z), 0.02f);
            }
        }
    }
    // Nothing of the hero reaches into that disc.
    for (const glm::vec3& p : importLikeTheGame(kHero).positions)
        if (std::abs(p.z - centre.z) < 0.02f) {
            EXPECT_GT(std::hypot(p.x - centre.x, p.y - centre.y), sweep);
        }
}

TEST(ArtModels, TextureCoordinatesFitHowEachModelIsTextured)
{
    // The glow quad samples render targets: (0, 0) at the bottom-left corner of the screen.
    const Imported plane = importLikeTheGame(kPlane);
    for (std::size_t v = 0; v < plane.positions.size(); ++v) {
        EXPECT_NEAR(plane.uvs[v].x, (plane.positions[v].x + 1) * 0.5f, 1e-5f);
        EXPECT_NEAR(plane.uvs[v].y, (plane.positions[v].y + 1) * 0.5f, 1e-5f);
    }

    // The cube's stone repeats once per cell on every face, so the long sides are not
    // stretched: texture area equals surface area on every triangle.
    const Imported cube = importLikeTheGame(kCube);
    for (const auto& t : cube.triangles) {
        const float surface = 0.5f * glm::length(faceNormal(cube, t));
        const float texture = 0.5f * static_cast<float>(std::abs(uvDeterminant(cube, t[0], t[1], t[2])));
        EXPECT_NEAR(texture, surface, 1e-3f * surface);
    }

    // The hero and the propeller each share one image between several materials; their
    // coordinates must stay inside it rather than repeat into a neighbouring material.
    for (const ModelInfo& model : {kHero, kPropeller}) {
        SCOPED_TRACE(model.name);
        for (const glm::vec2& uv : importLikeTheGame(model).uvs) {
            EXPECT_GE(std::min(uv.x, uv.y), 0.0f);
            EXPECT_LE(std::max(uv.x, uv.y), 1.0f);
        }
    }

    // The game derives tangents from each run of three consecutive vertices and divides by
    // their texture-space area; none of those runs may be flat in texture space.
    for (const ModelInfo& model : kAllModels) {
        SCOPED_TRACE(model.name);
        const Imported m = importLikeTheGame(model);
        const auto count = static_cast<unsigned>(m.uvs.size());
        int flatRuns = 0;
        for (unsigned i = 0; i < count; ++i)
            flatRuns += std::abs(uvDeterminant(m, i, (i + 1) % count, (i + 2) % count)) < 1e-7;
        EXPECT_EQ(flatRuns, 0);
    }
}

TEST(ArtModels, TexturesAreSquareImagesWithValidNormalMaps)
{
    for (const ModelInfo& model : kAllModels) {
        SCOPED_TRACE(model.name);
        for (const char* suffix : {"_diff.jpg", "_norm.jpg"}) {
            const DecodedImage img = decodeJpeg(modelPath(model, suffix));
            EXPECT_EQ(img.width, img.height);
            EXPECT_TRUE(img.width == 256 || img.width == 512) << suffix << " is " << img.width << " wide";
        }
        // Every texel of a tangent-space normal map decodes to a unit vector leaning out of
        // the surface; allow a few for the JPEG's ringing.
        const DecodedImage normals = decodeJpeg(modelPath(model, "_norm.jpg"));
        ASSERT_FALSE(normals.rgb.empty());
        int bad = 0;
        glm::vec3 mean{0};
        for (int y = 0; y < normals.height; ++y)
            for (int x = 0; x < normals.width; ++x) {
                const glm::vec3 n = normals.at(x, y) / 127.5f - 1.0f;
                bad += std::abs(glm::length(n) - 1.0f) > 0.1f || n.z < 0.2f;
                mean += n;
            }
        mean /= static_cast<float>(normals.width * normals.height);
        EXPECT_LT(bad, normals.width * normals.height / 100);
        EXPECT_GT(mean.z, 0.9f);
        EXPECT_LT(std::max(std::abs(mean.x), std::abs(mean.y)), 0.05f);
    }
}
