#pragma once
#include "Mesh.h"

#include <string>

// Writes a game-space mesh as a Wavefront OBJ holding one object, laid out so that the game's
// import (Assimp with MakeLeftHanded | FlipUVs | FlipWindingOrder, texture coordinates then
// multiplied by the object's uvScale) gives back exactly `mesh`:
//   - MakeLeftHanded negates z of positions and normals, so the file stores -z;
//   - the mirror turns every triangle clockwise and FlipWindingOrder turns it back, so the
//     file lists each triangle in the order a, c, b (counter-clockwise about the file normal);
//   - FlipUVs maps v to 1 - v and the game scales by uvScale afterwards, so the file stores
//     (u / uvScale, 1 - v / uvScale).
// Returns false when the file cannot be written.
bool writeObj(const std::string& path, const std::string& objectName, const Mesh& mesh, float uvScale);
