#pragma once
// The geometry of the six models, in game space (what the game sees after import).
#include "Mesh.h"

Mesh cubeMesh();
Mesh heroMesh();
Mesh flameMesh();
Mesh propellerMesh();
Mesh barMesh();
Mesh planeMesh();
