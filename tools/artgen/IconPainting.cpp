// The icon is painted from signed distance fields in a unit square (x right, y down). Each
// shape's distance to the pixel centre gives its coverage, which anti-aliases the edges at
// any size without supersampling.
#include "Icon.h"
#include "Lerp.h"
#include "Textures.h"

#include <algorithm>
#include <cmath>
#include <glm/common.hpp>
#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/vec2.hpp>
#include <vector>

namespace {

// ---- shapes: distance from p, negative inside ---------------------------------------------

float circle(glm::vec2 p, glm::vec2 centre, float radius)
{
    return glm::length(p - centre) - radius;
}

float roundedBox(glm::vec2 p, glm::vec2 centre, glm::vec2 half, float radius)
{
    const glm::vec2 q{std::abs(p.x - centre.x) - half.x + radius, std::abs(p.y - centre.y) - half.y + radius};
    const glm::vec2 outside{std::max(q.x, 0.0f), std::max(q.y, 0.0f)};
    return glm::length(outside) + std::min(std::max(q.x, q.y), 0.0f) - radius;
}

// A segment from a to b, thickened by `radius`.
float stroke(glm::vec2 p, glm::vec2 a, glm::vec2 b, float radius)
{
    const glm::vec2 pa = p - a, ba = b - a;
    const float h = glm::clamp(glm::dot(pa, ba) / glm::dot(ba, ba), 0.0f, 1.0f);
    return glm::length(pa - ba * h) - radius;
}

// Any simple polygon, corners in order.
float polygon(glm::vec2 p, const std::vector<glm::vec2>& corners)
{
    float distance = glm::dot(p - corners[0], p - corners[0]);
    float sign = 1;
    for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
        const glm::vec2 edge = corners[j] - corners[i], w = p - corners[i];
        const glm::vec2 nearest = w - edge * glm::clamp(glm::dot(w, edge) / glm::dot(edge, edge), 0.0f, 1.0f);
        distance = std::min(distance, glm::dot(nearest, nearest));
        const bool below = p.y >= corners[i].y, aboveNext = p.y < corners[j].y;
        const bool leftOfEdge = edge.x * w.y > edge.y * w.x;
        if ((below && aboveNext && leftOfEdge) || (!below && !aboveNext && !leftOfEdge))
            sign = -sign;
    }
    return sign * std::sqrt(distance);
}

// A drop standing on its round end: a circle of `radius` at `base`, narrowing to a point
// `height` above it.
float drop(glm::vec2 p, glm::vec2 base, float radius, float height)
{
    const glm::vec2 q{std::abs(p.x - base.x), base.y - p.y};
    const float side = radius / height, along = std::sqrt(1 - side * side);
    const float k = glm::dot(q, glm::vec2{-side, along});
    if (k < 0)
        return glm::length(q) - radius;
    if (k > along * height)
        return glm::length(q - glm::vec2{0, height});
    return glm::dot(q, glm::vec2{along, side}) - radius;
}

// ---- layering ------------------------------------------------------------------------------

// One pixel's colour, built up back to front with premultiplied alpha.
class Pixel {
public:
    Pixel(glm::vec2 at, float pixelSize) : at_(at), pixelSize_(pixelSize) {}

    glm::vec2 at() const { return at_; }

    // Lays `colour` over the pixel as far as the shape at `distance` covers it.
    void paint(float distance, glm::vec3 colour, float opacity = 1)
    {
        const float cover = opacity * glm::clamp(0.5f - distance / pixelSize_, 0.0f, 1.0f);
        colour_ = colour_ * (1 - cover) + colour * cover;
        alpha_ = alpha_ * (1 - cover) + cover;
    }

    glm::vec3 straightColour() const { return alpha_ > 0 ? colour_ * (1 / alpha_) : glm::vec3(0.0f); }
    float alpha() const { return alpha_; }

private:
    glm::vec2 at_;
    float pixelSize_;
    glm::vec3 colour_{0.0f};
    float alpha_ = 0;
};

// ---- the scene -----------------------------------------------------------------------------

constexpr glm::vec2 kFlameBase{0.765f, 0.5f};
constexpr float kFlameRadius = 0.105f, kFlameHeight = 0.29f;

// Warm light falling off with the distance from the flame's heart.
float flameLight(glm::vec2 p, float reach)
{
    const glm::vec2 d = p - glm::vec2{kFlameBase.x, kFlameBase.y - 0.04f};
    return std::exp(-glm::dot(d, d) / (reach * reach));
}

float tile(glm::vec2 p)
{
    return roundedBox(p, {0.5f, 0.5f}, {0.47f, 0.47f}, 0.15f);
}

void paintNight(Pixel& px)
{
    const glm::vec2 p = px.at();
    const glm::vec3 sky = lerp(glm::vec3{0.04f, 0.045f, 0.08f}, glm::vec3{0.08f, 0.05f, 0.06f}, p.y);
    const glm::vec3 glow = glm::vec3{1.0f, 0.48f, 0.12f} * (0.6f * flameLight(p, 0.3f));
    px.paint(tile(p), sky + glow);
}

// A faint rim keeps the dark tile's outline visible on a dark panel.
void paintRim(Pixel& px)
{
    px.paint(std::abs(tile(px.at()) + 0.009f) - 0.006f, glm::vec3{0.42f, 0.36f, 0.34f}, 0.5f);
}

// The column: a lit top, a front in shadow and the side that faces the flame, sinking into
// the dark below; mortar lines show it is built of stone blocks.
constexpr float kTopFront = 0.74f, kTopBack = 0.66f, kColumnLeft = 0.1f, kColumnRight = 0.54f, kDepth = 0.08f;

glm::vec3 stone(float shade)
{
    return glm::vec3{0.6f, 0.55f, 0.48f} * shade;
}

float mortar(glm::vec2 p)
{
    float d = 1;
    for (const float y : {0.84f, 0.94f})
        d = std::min(d, stroke(p, {kColumnLeft, y}, {kColumnRight, y}, 0.005f));
    const float joints[][3] = {
        {0.32f, kTopFront, 0.84f}, {0.21f, 0.84f, 0.94f}, {0.43f, 0.84f, 0.94f}, {0.32f, 0.94f, 1.0f}};
    for (const auto& j : joints)
        d = std::min(d, stroke(p, {j[0], j[1]}, {j[0], j[2]}, 0.005f));
    return d;
}

void paintColumn(Pixel& px)
{
    const glm::vec2 p = px.at();
    const float sinking = 1 - glm::smoothstep(kTopFront, 1.0f, p.y);
    const float warmth = flameLight(p, 0.35f);
    const glm::vec3 warm{1.0f, 0.72f, 0.45f};
    const float right = kColumnRight + kDepth;
    px.paint(polygon(p, {{kColumnRight, kTopFront}, {right, kTopBack}, {right, 1.2f}, {kColumnRight, 1.2f}}),
             stone(0.35f + 0.9f * warmth) * warm * sinking);
    px.paint(roundedBox(p, {(kColumnLeft + kColumnRight) / 2, 0.95f},
                        {(kColumnRight - kColumnLeft) / 2, 0.95f - kTopFront}, 0),
             stone(0.34f + 0.6f * warmth) * lerp(glm::vec3{0.8f, 0.85f, 1.0f}, warm, warmth) * sinking);
    px.paint(mortar(p), glm::vec3{0.04f, 0.03f, 0.03f}, 0.8f * sinking);
    px.paint(
        polygon(
            p,
            {{kColumnLeft, kTopFront}, {kColumnRight, kTopFront}, {right, kTopBack}, {kColumnLeft + kDepth, kTopBack}}),
        stone(0.55f + 0.6f * warmth) * lerp(glm::vec3{1, 1, 1}, warm, 0.5f * warmth));
}

// The hero, drawn from the model's measurements (feet at the origin, y up, units of the game)
// scaled onto the column.
constexpr glm::vec2 kFeet{0.32f, 0.705f};
constexpr float kScale = 0.34f;

glm::vec2 fromModel(float x, float y)
{
    return {kFeet.x + x * kScale, kFeet.y - y * kScale};
}

// Round parts are lit on the side that faces the flame.
glm::vec3 shaded(glm::vec3 colour, glm::vec2 p, float centreX, float halfWidth)
{
    const float facing =
        glm::clamp(0.5f + 0.5f * (p.x - kFeet.x - centreX * kScale) / (halfWidth * kScale), 0.0f, 1.0f);
    const glm::vec3 ambient{0.42f, 0.42f, 0.5f}, warm{1.0f, 0.78f, 0.55f};
    return colour * (ambient + warm * (0.85f * facing * facing));
}

glm::vec3 tunicRed()
{
    return {0.75f, 0.16f, 0.09f};
}
glm::vec3 leather()
{
    return {0.4f, 0.24f, 0.13f};
}
glm::vec3 skin()
{
    return {0.92f, 0.7f, 0.55f};
}

void paintLegs(Pixel& px, glm::vec2 p)
{
    for (const float side : {-1.0f, 1.0f}) {
        const float x = side * 0.075f;
        px.paint(stroke(p, fromModel(x, 0.16f), fromModel(x, 0.42f), 0.06f * kScale),
                 shaded({0.2f, 0.26f, 0.42f}, p, x, 0.06f));
        px.paint(roundedBox(p, fromModel(x + side * 0.01f, 0.1f), glm::vec2{0.075f, 0.1f} * kScale, 0.03f * kScale),
                 shaded(leather(), p, x, 0.075f));
    }
}

void paintTunic(Pixel& px, glm::vec2 p)
{
    std::vector<glm::vec2> outline;
    const float profile[][2] = {{0.15f, 0.36f}, {0.148f, 0.5f},  {0.14f, 0.64f},
                                {0.12f, 0.76f}, {0.075f, 0.83f}, {0.0f, 0.845f}};
    for (const auto& point : profile)
        outline.push_back(fromModel(point[0], point[1]));
    for (int i = 4; i >= 0; --i)
        outline.push_back(fromModel(-profile[i][0], profile[i][1]));
    const float body = polygon(p, outline);
    px.paint(body, shaded(tunicRed(), p, 0, 0.15f));
    // Gold hem and a leather belt, cut to the tunic's outline.
    const glm::vec2 hem = fromModel(0, 0.385f), belt = fromModel(0, 0.45f);
    px.paint(std::max(body, std::abs(p.y - hem.y) - 0.025f * kScale), shaded({0.86f, 0.64f, 0.22f}, p, 0, 0.15f));
    px.paint(std::max(body, std::abs(p.y - belt.y) - 0.022f * kScale), shaded(leather(), p, 0, 0.15f));
}

void paintArms(Pixel& px, glm::vec2 p)
{
    for (const float side : {-1.0f, 1.0f}) {
        const float spread = 0.22f, length = 0.27f;
        const float handX = side * (0.13f + length * std::sin(spread)), handY = 0.77f - length * std::cos(spread);
        px.paint(stroke(p, fromModel(side * 0.13f, 0.77f), fromModel(handX, handY), 0.05f * kScale),
                 shaded(tunicRed(), p, side * 0.16f, 0.06f));
        px.paint(circle(p, fromModel(handX, handY - 0.03f), 0.05f * kScale), shaded(skin(), p, handX, 0.05f));
    }
}

void paintHead(Pixel& px, glm::vec2 p)
{
    constexpr float head = 1.0f;
    px.paint(circle(p, fromModel(0, head - 0.005f), 0.168f * kScale),
             shaded({0.22f, 0.13f, 0.07f}, p, 0, 0.17f)); // hair
    px.paint(circle(p, fromModel(0, head - 0.02f), 0.15f * kScale), shaded(skin(), p, 0, 0.15f));
    for (const float side : {-1.0f, 1.0f})
        px.paint(circle(p, fromModel(side * 0.06f, head - 0.02f), 0.026f * kScale), {0.08f, 0.05f, 0.04f});
    // The cap: half an ellipse over the crown with a leather visor.
    const glm::vec2 rim = fromModel(0, head + 0.03f);
    const glm::vec2 q{(p.x - rim.x) / (0.185f * kScale), (p.y - rim.y) / (0.165f * kScale)};
    const float dome = std::max((glm::length(q) - 1) * 0.165f * kScale, p.y - rim.y);
    px.paint(dome, shaded(tunicRed(), p, 0, 0.185f));
    px.paint(roundedBox(p, fromModel(0, head + 0.03f), glm::vec2{0.19f, 0.022f} * kScale, 0.015f * kScale),
             shaded(leather(), p, 0, 0.19f));
}

// The propeller faces forward, so from the front all three blades show around the hub.
void paintPropeller(Pixel& px, glm::vec2 p)
{
    const glm::vec2 hub = fromModel(0, 1.42f);
    px.paint(stroke(p, fromModel(0, 1.15f), hub, 0.022f * kScale), shaded({0.3f, 0.3f, 0.3f}, p, 0, 0.03f));
    const glm::vec3 paints[] = {{0.85f, 0.12f, 0.08f}, {1.0f, 0.75f, 0.12f}, {0.15f, 0.38f, 0.85f}};
    for (int b = 0; b < 3; ++b) {
        const float a = 1.75f + 2 * glm::pi<float>() * static_cast<float>(b) / 3;
        const glm::vec2 along{std::cos(a), -std::sin(a)}, across{std::sin(a), std::cos(a)};
        const auto at = [&](float r, float w) {
            return glm::vec2{hub.x + (along.x * r + across.x * w) * kScale,
                             hub.y + (along.y * r + across.y * w) * kScale};
        };
        px.paint(polygon(p, {at(0.05f, -0.06f), at(0.42f, -0.1f), at(0.42f, 0.1f), at(0.05f, 0.06f)}), paints[b]);
    }
    px.paint(circle(p, hub, 0.07f * kScale), glm::vec3{0.75f, 0.75f, 0.78f});
}

void paintHero(Pixel& px)
{
    const glm::vec2 p = px.at();
    // His shadow falls away from the flame, across the column's top.
    const glm::vec2 shadow{(p.x - (kFeet.x - 0.05f)) / 0.12f, (p.y - (kFeet.y - 0.004f)) / 0.022f};
    px.paint((glm::length(shadow) - 1) * 0.022f, glm::vec3{0, 0, 0}, 0.5f);
    paintLegs(px, p);
    paintTunic(px, p);
    paintArms(px, p);
    paintHead(px, p);
    paintPropeller(px, p);
}

void paintFlame(Pixel& px)
{
    const glm::vec2 p = px.at();
    // Hottest low in the middle, red at the rim and the tip, as the game's flame texture.
    const std::vector<ColourStop> heat{{0.0f, {0.7f, 0.1f, 0.03f}},
                                       {0.3f, {0.95f, 0.3f, 0.04f}},
                                       {0.55f, {1.0f, 0.58f, 0.1f}},
                                       {0.8f, {1.0f, 0.86f, 0.4f}},
                                       {1.0f, {1.0f, 0.98f, 0.85f}}};
    const float lick = 0.012f * std::sin(38 * p.y) * glm::smoothstep(kFlameBase.y, kFlameBase.y - kFlameHeight, p.y);
    const float d = drop({p.x + lick, p.y}, kFlameBase, kFlameRadius, kFlameHeight);
    const float depth = glm::clamp(-d / kFlameRadius, 0.0f, 1.0f),
                low = glm::clamp((p.y - (kFlameBase.y - kFlameHeight)) / kFlameHeight, 0.0f, 1.0f);
    px.paint(d, ramp(heat, 0.65f * std::sqrt(depth) + 0.45f * low * depth + 0.1f * low));
}

} // namespace

RgbaImage paintIcon(int size)
{
    RgbaImage icon(size);
    const float pixel = 1.0f / static_cast<float>(size);
    forEachPixel(size, [&](int x, int y, float u, float v) {
        Pixel px({u, v}, pixel);
        paintNight(px);
        const float tile = px.alpha();
        paintColumn(px);
        paintFlame(px);
        paintHero(px);
        paintRim(px);
        // Everything stays inside the tile's rounded outline.
        icon.colour.at(x, y) = px.straightColour();
        icon.alpha[static_cast<std::size_t>(y) * size + x] = tile;
    });
    return icon;
}
