#include "Models.h"

#include "Atlas.h"

#include <cmath>
#include <glm/ext/matrix_transform.hpp>
#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>

namespace {

glm::mat4 translation(glm::vec3 offset)
{
    return glm::translate(glm::mat4(1.0f), offset);
}

// Right-handed: counter-clockwise seen from where the axis points.
glm::mat4 rotation(glm::vec3 axis, float radians)
{
    return glm::rotate(glm::mat4(1.0f), radians, axis);
}

// ---- cube ---------------------------------------------------------------------------------

// The column reaches this far below its top, so a level seems to stand on pillars in the dark.
constexpr float kColumnDepth = 8.0f;

// Sides walk around the column (front, right, back, left seen from above). Each spans one
// tile across, so the tiling texture runs on round the corners without a jump.
void addColumnSides(Mesh& mesh)
{
    const glm::vec3 corner[4] = {{0, 0, 0}, {1, 0, 0}, {1, 0, -1}, {0, 0, -1}};
    const glm::vec3 down{0, -kColumnDepth, 0};
    for (int side = 0; side < 4; ++side) {
        const glm::vec3 left = corner[side], right = corner[(side + 1) % 4];
        const glm::vec3 normal = glm::cross(right - left, glm::vec3{0, 1, 0});
        // One texture tile per unit of height, as on the top: the sides look like stacked blocks.
        mesh.addQuad({left + down, right + down, right, left}, normal,
                     {glm::vec2{0, kColumnDepth}, glm::vec2{1, kColumnDepth}, glm::vec2{1, 0}, glm::vec2{0, 0}});
    }
}

// ---- hero ---------------------------------------------------------------------------------

constexpr int kRound = 20;                      // segments around the hero's round parts
constexpr float kFacingAway = glm::pi<float>(); // puts lathe seams on the hero's front, away from the camera

void addLegs(Mesh& hero)
{
    for (const float side : {-1.0f, 1.0f}) {
        const glm::mat4 at = translation({side * 0.07f, 0, 0});
        hero.append(cylinder(0.055f, 0.15f, 0.42f, kRound, atlas::heroTrousers(), kFacingAway), at);
        hero.append(cylinder(0.064f, 0.0f, 0.2f, kRound, atlas::heroLeather(), kFacingAway), at);
        // The boot's toe points forward (toward -z) so the figure has a front.
        hero.append(box({-0.058f, 0, -0.13f}, {0.058f, 0.09f, 0.04f}, atlas::heroLeather()), at);
    }
}

void addTorso(Mesh& hero)
{
    // A tunic narrowing toward the shoulders; the profile is concave so the solid stays convex.
    const std::vector<ProfilePoint> tunic{{0, 0.36f},     {0.15f, 0.36f}, {0.15f, 0.36f},  {0.148f, 0.5f},
                                          {0.14f, 0.64f}, {0.12f, 0.76f}, {0.075f, 0.83f}, {0, 0.845f}};
    hero.append(lathe(tunic, kRound, atlas::heroTunic(), kFacingAway));
    hero.append(cylinder(0.153f, 0.43f, 0.47f, kRound, atlas::heroLeather(), kFacingAway)); // belt
    // A satchel on the back gives the chase camera something to read.
    hero.append(box({-0.09f, 0.5f, 0.1f}, {0.09f, 0.72f, 0.2f}, atlas::heroLeather()));
}

Mesh capsule(float radius, float length, int rings, UvRect region)
{
    // A sphere's profile cut at the equator, the upper half lifted by `length`.
    std::vector<ProfilePoint> profile;
    for (int i = 0; i <= rings; ++i) {
        const float a = glm::pi<float>() * static_cast<float>(i) / static_cast<float>(rings);
        const float r = i == 0 || i == rings ? 0.0f : radius * std::sin(a);
        const float y = -radius * std::cos(a);
        if (2 * i <= rings)
            profile.push_back({r, y});
        if (2 * i >= rings)
            profile.push_back({r, y + length});
    }
    return lathe(profile, kRound, region, kFacingAway);
}

void addArms(Mesh& hero)
{
    constexpr float length = 0.25f, spread = 0.22f;
    for (const float side : {-1.0f, 1.0f}) {
        const glm::mat4 shoulder = translation({side * 0.13f, 0.77f, 0}) * rotation({0, 0, 1}, side * spread);
        hero.append(capsule(0.045f, length, 10, atlas::heroTunic()), shoulder * translation({0, -length, 0}));
        hero.append(sphere(0.048f, 12, 8, atlas::heroSkin()), shoulder * translation({0, -length - 0.04f, 0}));
    }
}

constexpr float kHeadY = 1.0f;

void addHead(Mesh& hero)
{
    hero.append(sphere(0.16f, kRound, 14, atlas::heroSkin(), kFacingAway), translation({0, kHeadY, 0}));
    for (const float side : {-1.0f, 1.0f})
        hero.append(sphere(0.025f, 8, 6, atlas::heroLeather()), translation({side * 0.06f, kHeadY - 0.01f, -0.14f}));
    // Hair: a slightly larger ball set back, so it covers the back of the head (what the
    // chase camera sees) and leaves the face free.
    hero.append(sphere(0.165f, kRound, 13, atlas::heroLeather(), kFacingAway), translation({0, kHeadY, 0.035f}));
}

void addCap(Mesh& hero)
{
    // Half an ellipsoid over the crown, set back a little to cover the hair, and a visor.
    constexpr float radius = 0.18f, height = 0.155f, rim = kHeadY + 0.02f;
    std::vector<ProfilePoint> cap{{0, rim}, {radius, rim}, {radius, rim}};
    for (int i = 1; i <= 8; ++i) {
        const float a = 0.5f * glm::pi<float>() * static_cast<float>(i) / 8.0f;
        cap.push_back({i == 8 ? 0.0f : radius * std::cos(a), rim + height * std::sin(a)});
    }
    hero.append(lathe(cap, kRound, atlas::heroTunic(), kFacingAway), translation({0, 0, 0.02f}));
    hero.append(cylinder(0.1f, rim, rim + 0.016f, kRound, atlas::heroLeather()),
                translation({0, 0, -0.12f}) * glm::scale(glm::mat4(1.0f), {1, 1, 0.9f}));
    // The mast that carries the propeller: from inside the cap up into the propeller's hub,
    // which the game centres at (0, 1.35, -0.1); the mast stands just behind the blades.
    hero.append(cylinder(0.012f, kHeadY + 0.12f, 1.35f, 8, atlas::heroLeather()), translation({0, 0, -0.05f}));
}

// ---- propeller ----------------------------------------------------------------------------
//
// The game places the propeller with S * T * R2 * R1: first -90 degrees about x (R1), then the
// spin about z (R2). The spin acts after the tilt, so the only plane it turns within itself is
// the one R1 lays across the z axis: the model's x-z plane. The blades lie there and turn
// about the model's y axis, which R1 points forward (-z); blades in any other plane would
// tumble end over end instead of spinning.

// One blade along +x in the x-z plane, widening toward the tip, pitched like a rotor blade.
Mesh blade(UvRect region)
{
    constexpr float root = 0.08f, tip = 0.68f, rootWidth = 0.12f, tipWidth = 0.24f, thickness = 0.04f;
    std::array<glm::vec3, 8> corners;
    for (int i = 0; i < 8; ++i) {
        const float x = i & 1 ? tip : root;
        const float halfWidth = 0.5f * (i & 1 ? tipWidth : rootWidth);
        corners[i] = {x, i & 2 ? 0.5f * thickness : -0.5f * thickness, i & 4 ? halfWidth : -halfWidth};
    }
    Mesh mesh;
    mesh.append(hexahedron(corners, region), rotation({1, 0, 0}, 0.3f));
    return mesh;
}

// Hub and nose cone in one convex piece along the spin axis (y); the hub reaches back (-y)
// far enough to meet the mast on the hero's cap.
Mesh hub()
{
    constexpr float radius = 0.13f, back = -0.3f, front = 0.1f, nose = 0.2f;
    std::vector<ProfilePoint> profile{{0, back}, {radius, back}, {radius, back}};
    for (int i = 0; i <= 6; ++i) {
        const float a = 0.5f * glm::pi<float>() * static_cast<float>(i) / 6.0f;
        profile.push_back({i == 6 ? 0.0f : radius * std::cos(a), front + nose * std::sin(a)});
    }
    return lathe(profile, 24, atlas::propellerMetal());
}

} // namespace

Mesh cubeMesh()
{
    Mesh mesh;
    // Top at y = 0 over x 0..1, z -1..0; one texture tile per cell, the image's top edge at the
    // far side so the stone reads upright from the chase camera.
    mesh.addQuad({glm::vec3{0, 0, 0}, glm::vec3{1, 0, 0}, glm::vec3{1, 0, -1}, glm::vec3{0, 0, -1}}, {0, 1, 0},
                 {glm::vec2{0, 1}, glm::vec2{1, 1}, glm::vec2{1, 0}, glm::vec2{0, 0}});
    addColumnSides(mesh);
    const float y = -kColumnDepth;
    mesh.addQuad({glm::vec3{0, y, -1}, glm::vec3{1, y, -1}, glm::vec3{1, y, 0}, glm::vec3{0, y, 0}}, {0, -1, 0},
                 {glm::vec2{0, 1}, glm::vec2{1, 1}, glm::vec2{1, 0}, glm::vec2{0, 0}});
    return mesh;
}

Mesh heroMesh()
{
    Mesh hero;
    addLegs(hero);
    addTorso(hero);
    addArms(hero);
    addHead(hero);
    addCap(hero);
    return hero;
}

Mesh flameMesh()
{
    // A sphere drawn out into a cone toward the tip; the cone touches the sphere tangentially,
    // so the drop is smooth and convex. Height 0.5, its box centred on the origin.
    constexpr float radius = 0.15f, bottom = -0.25f, tip = 0.25f;
    const float centre = bottom + radius, toTip = tip - centre;
    const float tangentAngle = std::acos(radius / toTip); // from the upward axis
    std::vector<ProfilePoint> profile;
    constexpr int sphereRings = 12, coneRings = 6;
    for (int i = 0; i <= sphereRings; ++i) {
        const float a = (glm::pi<float>() - tangentAngle) * static_cast<float>(i) / sphereRings; // from the bottom
        profile.push_back({i == 0 ? 0.0f : radius * std::sin(a), centre - radius * std::cos(a)});
    }
    const ProfilePoint touch = profile.back();
    for (int i = 1; i <= coneRings; ++i) {
        const float t = static_cast<float>(i) / coneRings;
        profile.push_back({i == coneRings ? 0.0f : touch.radius * (1 - t), lerp(touch.y, tip, t)});
    }
    return lathe(profile, 24, {});
}

Mesh propellerMesh()
{
    Mesh mesh = hub();
    for (int b = 0; b < 3; ++b)
        mesh.append(blade(atlas::propellerBlade(b)),
                    rotation({0, 1, 0}, 2 * glm::pi<float>() * static_cast<float>(b) / 3));
    return mesh;
}

Mesh barMesh()
{
    Mesh mesh;
    mesh.addQuad({glm::vec3{0, -1, 0}, glm::vec3{1, -1, 0}, glm::vec3{1, 1, 0}, glm::vec3{0, 1, 0}}, {0, 0, 1},
                 {glm::vec2{0, 1}, glm::vec2{1, 1}, glm::vec2{1, 0}, glm::vec2{0, 0}});
    return mesh;
}

Mesh planeMesh()
{
    // The glow steps sample render targets, whose first row is the bottom of the screen, so
    // here v grows upward: (0, 0) at the bottom-left corner, (1, 1) at the top-right.
    Mesh mesh;
    mesh.addQuad({glm::vec3{-1, -1, 0}, glm::vec3{1, -1, 0}, glm::vec3{1, 1, 0}, glm::vec3{-1, 1, 0}}, {0, 0, 1},
                 {glm::vec2{0, 0}, glm::vec2{1, 0}, glm::vec2{1, 1}, glm::vec2{0, 1}});
    return mesh;
}
