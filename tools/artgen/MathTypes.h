#pragma once
// The few vector operations the generator needs; kept tiny so the tool has no dependencies
// beyond libjpeg and libpng.
#include <cmath>

struct Vec2 {
    float x = 0, y = 0;
};

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

inline Vec2 operator+(Vec2 a, Vec2 b)
{
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator*(Vec2 a, float s)
{
    return {a.x * s, a.y * s};
}

inline Vec3 operator+(Vec3 a, Vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator-(Vec3 a)
{
    return {-a.x, -a.y, -a.z};
}
inline Vec3 operator*(Vec3 a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline Vec3 operator*(Vec3 a, Vec3 b)
{
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}

inline float dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(Vec3 a)
{
    return std::sqrt(dot(a, a));
}
inline Vec3 normalize(Vec3 a)
{
    const float len = length(a);
    return len > 0 ? a * (1.0f / len) : a;
}

inline Vec3 lerp(Vec3 a, Vec3 b, float t)
{
    return a + (b - a) * t;
}
inline float lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}
inline float clamp01(float v)
{
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}
inline float smoothstep(float edge0, float edge1, float v)
{
    const float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

constexpr float kPi = 3.14159265358979f;

// Affine map: linear part as three columns, then a translation.
struct Affine {
    Vec3 col[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 offset{};

    Vec3 applyToPoint(Vec3 p) const { return col[0] * p.x + col[1] * p.y + col[2] * p.z + offset; }
    Vec3 applyToVector(Vec3 v) const { return col[0] * v.x + col[1] * v.y + col[2] * v.z; }
    float determinant() const { return dot(col[0], cross(col[1], col[2])); }
    // Normals follow the inverse transpose; the cofactor matrix is that up to a positive or
    // negative factor, which normalisation and the determinant's sign take care of.
    Vec3 applyToNormal(Vec3 n) const
    {
        const Vec3 c0 = cross(col[1], col[2]), c1 = cross(col[2], col[0]), c2 = cross(col[0], col[1]);
        const Vec3 m = c0 * n.x + c1 * n.y + c2 * n.z;
        return normalize(determinant() < 0 ? -m : m);
    }
};

inline Affine translation(Vec3 t)
{
    Affine a;
    a.offset = t;
    return a;
}

inline Affine scaling(Vec3 s)
{
    Affine a;
    a.col[0] = {s.x, 0, 0};
    a.col[1] = {0, s.y, 0};
    a.col[2] = {0, 0, s.z};
    return a;
}

// Right-handed rotation by `radians` about a unit axis.
inline Affine rotation(Vec3 axis, float radians)
{
    const float c = std::cos(radians), s = std::sin(radians), k = 1 - c;
    const Vec3 a = normalize(axis);
    Affine r;
    r.col[0] = {c + a.x * a.x * k, a.y * a.x * k + a.z * s, a.z * a.x * k - a.y * s};
    r.col[1] = {a.x * a.y * k - a.z * s, c + a.y * a.y * k, a.z * a.y * k + a.x * s};
    r.col[2] = {a.x * a.z * k + a.y * s, a.y * a.z * k - a.x * s, c + a.z * a.z * k};
    return r;
}

// Composition: (a * b)(p) = a(b(p)).
inline Affine operator*(const Affine& a, const Affine& b)
{
    Affine r;
    for (int i = 0; i < 3; ++i)
        r.col[i] = a.applyToVector(b.col[i]);
    r.offset = a.applyToPoint(b.offset);
    return r;
}
