#include "assets/MeshImport.h"

#include "TestSupport.h"

// The importer would open a FIFO and wait for a writer forever, and a folder is no model
// either: both are reported word for word as the importer reports a missing file.
TEST(MeshImport, AModelFileThatIsNoRegularFileIsReportedAsAMissingOne)
{
    TempFolder folder;
    const std::string model = (folder.path() / "odd" / "odd.obj").string();
    Mesh mesh;
    bool imported = true;
    const auto import = [&] { imported = importMesh(model, 1.0f, mesh); };

    const std::string missing = printedBy(import);
    EXPECT_FALSE(imported);
    ASSERT_NE(missing.find(model), std::string::npos) << "the importer names the missing file: " << missing;
    {
        WatchedFifo fifo(model);
        imported = true;
        EXPECT_EQ(printedBy(import), missing) << "a FIFO as the model";
        EXPECT_FALSE(imported);
        EXPECT_FALSE(fifo.opened());
    }
    std::filesystem::create_directory(model);
    imported = true;
    EXPECT_EQ(printedBy(import), missing) << "a folder as the model";
    EXPECT_FALSE(imported);
    EXPECT_TRUE(mesh.positions.empty());
}
