#include "assets/Model.h"
// placeholder: replaced by the real implementation
GpuMesh::~GpuMesh() {}
