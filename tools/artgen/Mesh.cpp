#include "Mesh.h"

#include <cmath>
#include <cstddef>
#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/mat3x3.hpp>
#include <glm/matrix.hpp>

namespace {

// Normals follow the inverse transpose; the cofactor matrix is that up to a positive or negative
// factor, which normalisation and the determinant's sign take care of. It is not
// glm::inverseTranspose, whose division by the determinant rounds the models' normals differently.
glm::vec3 turnNormal(const glm::mat3& linear, glm::vec3 n)
{
    const glm::mat3 cofactors(glm::cross(linear[1], linear[2]), glm::cross(linear[2], linear[0]),
                              glm::cross(linear[0], linear[1]));
    const glm::vec3 m = cofactors * n;
    return glm::normalize(glm::determinant(linear) < 0 ? -m : m);
}

} // namespace

std::uint32_t Mesh::addVertex(glm::vec3 position, glm::vec3 normal, glm::vec2 uv)
{
    vertices.push_back({position, normal, uv});
    return static_cast<std::uint32_t>(vertices.size() - 1);
}

void Mesh::addQuad(const std::array<glm::vec3, 4>& corners, glm::vec3 normal, const std::array<glm::vec2, 4>& uvs)
{
    std::uint32_t index[4];
    for (int i = 0; i < 4; ++i)
        index[i] = addVertex(corners[i], normal, uvs[i]);
    addTriangle(index[0], index[1], index[2]);
    addTriangle(index[0], index[2], index[3]);
}

void Mesh::append(const Mesh& part, const glm::mat4& transform)
{
    const auto base = static_cast<std::uint32_t>(vertices.size());
    const glm::mat3 linear(transform);
    for (const Vertex& v : part.vertices)
        addVertex(glm::vec3(transform * glm::vec4(v.position, 1.0f)), turnNormal(linear, v.normal), v.uv);
    // A mirroring transform turns counter-clockwise into clockwise; swap two corners back.
    const bool mirrored = glm::determinant(linear) < 0;
    for (const auto& t : part.triangles) {
        if (mirrored)
            addTriangle(base + t[0], base + t[2], base + t[1]);
        else
            addTriangle(base + t[0], base + t[1], base + t[2]);
    }
}

namespace {

// The profile segment a->b in the (radius, y) half-plane.
glm::vec2 segment(ProfilePoint a, ProfilePoint b)
{
    return {b.radius - a.radius, b.y - a.y};
}

// Outward normal of the profile segment a->b; the profile runs upward, so outward is the
// segment direction turned clockwise.
glm::vec2 segmentNormal(ProfilePoint a, ProfilePoint b)
{
    const glm::vec2 d = segment(a, b);
    const float len = glm::length(d);
    return len > 0 ? glm::vec2{d.y / len, -d.x / len} : glm::vec2{0, 0};
}

// Smooth normal at profile point i from its non-degenerate neighbouring segments, so a point
// listed twice takes one side each and the surface gets a crease there. A pole has a single
// segment and takes its slope: flat for a cap, the cone's slope for a pointed tip.
glm::vec2 profileNormal(const std::vector<ProfilePoint>& profile, std::size_t i)
{
    glm::vec2 sum{0, 0};
    if (i > 0)
        sum += segmentNormal(profile[i - 1], profile[i]);
    if (i + 1 < profile.size())
        sum += segmentNormal(profile[i], profile[i + 1]);
    return glm::length(sum) > 0 ? glm::normalize(sum) : sum;
}

std::vector<float> arcLengths(const std::vector<ProfilePoint>& profile)
{
    std::vector<float> s(profile.size(), 0.0f);
    for (std::size_t i = 1; i < profile.size(); ++i)
        s[i] = s[i - 1] + glm::length(segment(profile[i - 1], profile[i]));
    return s;
}

// Runs of strips between creases, as [first, last) strip indices.
std::vector<std::pair<std::size_t, std::size_t>> stripRuns(const std::vector<ProfilePoint>& profile)
{
    std::vector<std::pair<std::size_t, std::size_t>> runs;
    const std::vector<float> s = arcLengths(profile);
    std::size_t first = 0;
    for (std::size_t i = 0; i < profile.size(); ++i) {
        const bool creaseOrEnd = i + 1 == profile.size() || s[i + 1] == s[i];
        if (creaseOrEnd) {
            if (i > first)
                runs.push_back({first, i});
            first = i + 1;
        }
    }
    return runs;
}

// Gives every run an odd number of strips (see lathe) by halving its longest strip; the new
// profile point lies on the old segment, so the shape does not change.
std::vector<ProfilePoint> withOddRuns(std::vector<ProfilePoint> profile)
{
    const auto runs = stripRuns(profile);
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) { // back to front keeps indices valid
        if ((run->second - run->first) % 2 == 1)
            continue;
        std::size_t longest = run->first;
        float longestLength = 0;
        for (std::size_t i = run->first; i < run->second; ++i) {
            const float length = std::hypot(profile[i + 1].radius - profile[i].radius, profile[i + 1].y - profile[i].y);
            if (length > longestLength)
                longest = i, longestLength = length;
        }
        const ProfilePoint mid{0.5f * (profile[longest].radius + profile[longest + 1].radius),
                               0.5f * (profile[longest].y + profile[longest + 1].y)};
        profile.insert(profile.begin() + static_cast<std::ptrdiff_t>(longest + 1), mid);
    }
    return profile;
}

void addRings(Mesh& mesh, const std::vector<ProfilePoint>& profile, int segments, UvRect region, float seamAngle)
{
    const std::vector<float> s = arcLengths(profile);
    for (std::size_t i = 0; i < profile.size(); ++i) {
        const glm::vec2 n = profileNormal(profile, i);
        // A pole has one vertex per fan triangle, set in the middle of that triangle's wedge.
        const float poleShift = profile[i].radius == 0 ? 0.5f : 0.0f;
        for (int j = 0; j <= segments; ++j) {
            const float u = (static_cast<float>(j) + poleShift) / static_cast<float>(segments);
            const float angle = seamAngle + 2 * glm::pi<float>() * u;
            const float sn = std::sin(angle), cs = std::cos(angle);
            const glm::vec3 position{profile[i].radius * sn, profile[i].y, profile[i].radius * cs};
            mesh.addVertex(position, {n.x * sn, n.y, n.x * cs}, region.at(u, 1 - s[i] / s.back()));
        }
    }
}

// The strip between rings i and i + 1; a pole ring gets a fan of single triangles.
void addStrip(Mesh& mesh, const std::vector<ProfilePoint>& profile, std::size_t i, int segments)
{
    const auto ringSize = static_cast<std::uint32_t>(segments + 1);
    const auto row = static_cast<std::uint32_t>(i) * ringSize;
    for (std::uint32_t j = 0; j < static_cast<std::uint32_t>(segments); ++j) {
        const std::uint32_t a = row + j, b = a + 1, c = b + ringSize, d = a + ringSize;
        if (profile[i].radius == 0)
            mesh.addTriangle(a, c, d);
        else if (profile[i + 1].radius == 0)
            mesh.addTriangle(a, b, d); // d is the pole vertex of this wedge
        else {
            mesh.addTriangle(a, b, c);
            mesh.addTriangle(a, c, d);
        }
    }
}

} // namespace

// The game estimates each vertex's tangent from runs of three consecutive vertices in the
// imported order, which is the order in which the triangles first use them. Strips are
// therefore emitted every other one first: each of those introduces the vertices of its two
// rings alternately, so every run of three is a small, non-flat patch of the surface; the
// strips in between only reuse vertices. This needs an odd number of strips between creases,
// so both end strips of a run are among the first.
Mesh lathe(const std::vector<ProfilePoint>& rawProfile, int segments, UvRect region, float seamAngle)
{
    const std::vector<ProfilePoint> profile = withOddRuns(rawProfile);
    Mesh mesh;
    addRings(mesh, profile, segments, region, seamAngle);
    std::vector<std::size_t> later;
    for (const auto& [first, last] : stripRuns(profile))
        for (std::size_t i = first; i < last; ++i) {
            if ((i - first) % 2 == 0)
                addStrip(mesh, profile, i, segments);
            else
                later.push_back(i);
        }
    for (const std::size_t i : later)
        addStrip(mesh, profile, i, segments);
    return mesh;
}

Mesh cylinder(float radius, float y0, float y1, int segments, UvRect region, float seamAngle)
{
    return lathe({{0, y0}, {radius, y0}, {radius, y0}, {radius, y1}, {radius, y1}, {0, y1}}, segments, region,
                 seamAngle);
}

Mesh sphere(float radius, int segments, int rings, UvRect region, float seamAngle)
{
    std::vector<ProfilePoint> profile;
    for (int i = 0; i <= rings; ++i) {
        const float polar = glm::pi<float>() * static_cast<float>(i) / static_cast<float>(rings); // 0 at the bottom
        const float r = i == 0 || i == rings ? 0.0f : radius * std::sin(polar);
        profile.push_back({r, -radius * std::cos(polar)});
    }
    return lathe(profile, segments, region, seamAngle);
}

Mesh hexahedron(const std::array<glm::vec3, 8>& c, UvRect region)
{
    // Corner indices per face, counter-clockwise from outside, starting bottom-left.
    static const int faces[6][4] = {
        {5, 1, 3, 7}, // +x
        {0, 4, 6, 2}, // -x
        {6, 7, 3, 2}, // +y
        {0, 1, 5, 4}, // -y
        {4, 5, 7, 6}, // +z
        {1, 0, 2, 3}, // -z
    };
    const std::array<glm::vec2, 4> uvs{region.at(0, 1), region.at(1, 1), region.at(1, 0), region.at(0, 0)};
    Mesh mesh;
    for (const auto& f : faces) {
        const std::array<glm::vec3, 4> quad{c[f[0]], c[f[1]], c[f[2]], c[f[3]]};
        const glm::vec3 normal = glm::normalize(glm::cross(quad[2] - quad[0], quad[3] - quad[1]));
        mesh.addQuad(quad, normal, uvs);
    }
    return mesh;
}

Mesh box(glm::vec3 min, glm::vec3 max, UvRect region)
{
    std::array<glm::vec3, 8> corners;
    for (int i = 0; i < 8; ++i)
        corners[i] = {i & 1 ? max.x : min.x, i & 2 ? max.y : min.y, i & 4 ? max.z : min.z};
    return hexahedron(corners, region);
}
