#include "assets/MeshImport.h"

#include "TestSupport.h"

#include <cmath>
#include <glm/glm.hpp>

// The importer would open a FIFO and wait for a writer forever, and a folder is no model
// either: both are reported word for word as the importer reports a missing file.
TEST(MeshImport, AModelFileThatIsNoRegularFileIsReportedAsAMissingOne)
{
    TempFolder folder;
    const std::string model = (folder.path() / "odd" / "odd.obj").string();
    const auto refused = [&] {
        Mesh mesh;
        bool imported = true;
        const std::string printed = printedBy([&] { imported = importMesh(model, 1.0f, mesh); });
        EXPECT_FALSE(imported || !mesh.positions.empty());
        return printed;
    };
    const std::string missing = refused();
    ASSERT_NE(missing.find(model), std::string::npos) << "the importer names the missing file: " << missing;
    {
        WatchedFifo fifo(model);
        EXPECT_EQ(refused(), missing) << "a FIFO as the model";
        EXPECT_FALSE(fifo.opened());
    }
    std::filesystem::create_directories(model);
    EXPECT_EQ(refused(), missing) << "a folder as the model";
}

namespace {

// Imports a model written into a scratch folder.
class MeshImportTest : public ::testing::Test {
protected:
    Mesh import(const std::string& obj, float uvScale = 1.0f)
    {
        const std::filesystem::path file = folder.path() / "model.obj";
        writeText(file, obj);
        Mesh mesh;
        EXPECT_TRUE(importMesh(file.string(), uvScale, mesh));
        return mesh;
    }

    TempFolder folder;
};

glm::vec3 vectorAt(const std::vector<float>& values, size_t vertex)
{
    return glm::vec3(values[3 * vertex], values[3 * vertex + 1], values[3 * vertex + 2]);
}

} // namespace

TEST_F(MeshImportTest, OnlyTheFirstMeshOfAFileIsImported)
{
    const Mesh mesh =
        import("o First\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 0 1\nf 1/1/1 2/2/1 3/3/1\n"
               "o Second\nv 5 5 5\nv 6 5 5\nv 5 6 5\nv 6 6 5\nf 4/1/1 5/2/1 6/3/1\nf 5/2/1 7/3/1 6/1/1\n");
    EXPECT_EQ(mesh.indices.size(), 3u);
    ASSERT_EQ(mesh.positions.size(), 9u);
    for (float value : mesh.positions)
        EXPECT_LE(std::fabs(value), 1.0f) << "a vertex of the second object came along";
}

TEST_F(MeshImportTest, UvScaleMultipliesTheFlippedUvsAndTangentsFollowThem)
{
    const Mesh mesh = import(quadObj(), 4.0f); // u runs along +x, v along +y in the file
    ASSERT_EQ(mesh.indices.size(), 6u) << "one four-cornered face becomes two triangles";
    ASSERT_EQ(mesh.positions.size(), 12u);
    for (size_t i = 0; i < 4; ++i) {
        const glm::vec3 p = vectorAt(mesh.positions, i);
        // The file's uv is ((x + 1) / 2, (y + 1) / 2); the importer flips v, then the scale applies.
        EXPECT_FLOAT_EQ(mesh.uvs[2 * i], 4.0f * (p.x + 1.0f) / 2.0f);
        EXPECT_FLOAT_EQ(mesh.uvs[2 * i + 1], 4.0f * (1.0f - (p.y + 1.0f) / 2.0f));
        EXPECT_GT(glm::normalize(vectorAt(mesh.tangents, i)).x, 0.99f) << "u grows along +x";
        EXPECT_LT(glm::normalize(vectorAt(mesh.bitangents, i)).y, -0.99f) << "the flipped v grows along -y";
    }
}

TEST_F(MeshImportTest, NoUvsOrNormalsGiveZerosAndNoInfiniteTangents)
{
    const Mesh mesh = import("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", 2.0f);
    ASSERT_EQ(mesh.positions.size(), 9u);
    EXPECT_EQ(mesh.uvs, std::vector<float>(6, 0.0f));
    EXPECT_EQ(mesh.normals, std::vector<float>(9, 0.0f));
    EXPECT_EQ(mesh.tangents, std::vector<float>(9, 0.0f)) << "a window without uv area adds nothing";
    EXPECT_EQ(mesh.bitangents, std::vector<float>(9, 0.0f));

    // Found by fuzzing: uvs that span a tiny area give directions beyond a float's range.
    const Mesh tiny = import("v 0 0 0\nv 100 0 0\nv 0 100 0\nvt 0 0\nvt 1e-38 0\nvt 0 0.5\nf 1/1 2/2 3/3\n");
    EXPECT_EQ(tiny.tangents, std::vector<float>(9, 0.0f)) << "a window with almost no uv area adds nothing";
    EXPECT_EQ(tiny.bitangents, std::vector<float>(9, 0.0f));
}
