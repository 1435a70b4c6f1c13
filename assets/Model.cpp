#include "assets/Model.h"

#include <GL/glew.h>

GpuMesh::~GpuMesh()
{
    if (vertexArray)
        glDeleteVertexArrays(1, &vertexArray);
    const GLuint buffers[] = {positionBuffer, normalBuffer, indexBuffer, uvBuffer, tangentBuffer, bitangentBuffer};
    for (GLuint buffer : buffers)
        if (buffer)
            glDeleteBuffers(1, &buffer);
}
