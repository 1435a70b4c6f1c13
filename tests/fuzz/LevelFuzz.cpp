// Level text of any kind: read safely, into cells that lie on the level.
#include "FuzzSupport.h"
#include "scene/LevelReader.h"

#include <sstream>

namespace {

bool onTheLevel(const glm::vec3& cube)
{
    return cube.x >= 0.0f && cube.x <= 4.0f && cube.y >= 1.0f && cube.y <= 5.0f && cube.z <= 0.0f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const LevelLayout level = parseLevel(in);
    require(level.grid.size() <= maxLevelCharacters / 2);
    require(level.cubes.size() + level.invisCubes.size() <= level.grid.size());
    for (const auto* cubes : {&level.cubes, &level.invisCubes})
        for (const glm::vec3& cube : *cubes) {
            require(onTheLevel(cube));
            require(cellHeight(level.grid, cellIndex(cube.x + 0.5f, cube.z - 0.5f)) == static_cast<int>(cube.y));
        }
    require(!level.finish || onTheLevel(*level.finish));
    return 0;
}
