#pragma once
#include <cstdint>
#include <vector>

// The vertex streams of a mesh as the GL buffers take them: tightly packed floats, one stream a
// buffer, and three indices a triangle.
struct VertexStreams {
    const std::vector<float>& positions; // three a vertex
    const std::vector<float>& normals;   // three a vertex
    const std::vector<float>& uvs;       // two a vertex
    const std::vector<float>& tangents;  // three a vertex
    const std::vector<float>& bitangents;
    const std::vector<std::uint32_t>& indices;
};

// A mesh in GL: a vertex array over six buffers, its attributes bound by name in one program.
// Deletes its GL objects when it goes.
class MeshBuffers {
public:
    MeshBuffers(const VertexStreams& streams, unsigned int program);
    ~MeshBuffers();
    MeshBuffers(const MeshBuffers&) = delete;
    MeshBuffers& operator=(const MeshBuffers&) = delete;

    // One indexed draw of every triangle, with whatever program and state are current.
    void draw() const;

    unsigned int vertexArray() const { return vertexArray_; }
    int indexCount() const { return indexCount_; }

private:
    unsigned int vertexArray_ = 0;
    unsigned int positionBuffer_ = 0;
    unsigned int normalBuffer_ = 0;
    unsigned int indexBuffer_ = 0;
    unsigned int uvBuffer_ = 0;
    unsigned int tangentBuffer_ = 0;
    unsigned int bitangentBuffer_ = 0;
    int indexCount_ = 0;
};
