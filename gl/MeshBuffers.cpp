#include "gl/MeshBuffers.h"

#include <GL/glew.h>

namespace {

GLuint createArrayBuffer(const std::vector<float>& values)
{
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(values.size() * sizeof(float)), values.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return buffer;
}

// An attribute the program does not use (location -1) is left off, since GL would reject it.
void bindAttribute(GLuint program, const char* name, GLuint buffer, GLint components)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLint location = glGetAttribLocation(program, name);
    if (location < 0)
        return;
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0, nullptr);
}

} // namespace

MeshBuffers::MeshBuffers(const VertexStreams& streams, unsigned int program)
    : indexCount_(static_cast<int>(streams.indices.size()))
{
    positionBuffer_ = createArrayBuffer(streams.positions);
    normalBuffer_ = createArrayBuffer(streams.normals);
    uvBuffer_ = createArrayBuffer(streams.uvs);
    tangentBuffer_ = createArrayBuffer(streams.tangents);
    bitangentBuffer_ = createArrayBuffer(streams.bitangents);

    glGenBuffers(1, &indexBuffer_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(streams.indices.size() * sizeof(std::uint32_t)),
                 streams.indices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    bindAttribute(program, "position", positionBuffer_, 3);
    bindAttribute(program, "normal", normalBuffer_, 3);
    bindAttribute(program, "uv", uvBuffer_, 2);
    bindAttribute(program, "tangents", tangentBuffer_, 3);
    bindAttribute(program, "bitangents", bitangentBuffer_, 3);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
}

MeshBuffers::~MeshBuffers()
{
    glDeleteVertexArrays(1, &vertexArray_);
    const GLuint buffers[] = {positionBuffer_, normalBuffer_,  indexBuffer_,
                              uvBuffer_,       tangentBuffer_, bitangentBuffer_};
    glDeleteBuffers(6, buffers);
}

void MeshBuffers::draw() const
{
    glBindVertexArray(vertexArray_);
    glDrawElements(GL_TRIANGLES, indexCount_, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
}
