#pragma once
// `tindral-level picture`: a level from above, the start end at the left and the hero's left
// side up, one square a cell, heights as shades of stone, start, finish and invisible cubes
// marked, and the way a plan takes. Drawn with Cairo.
#include "tools/level/LevelFile.h"
#include "tools/level/LevelSimulation.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _cairo_surface cairo_surface_t;

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;

    bool operator==(const Colour& other) const { return r == other.r && g == other.g && b == other.b; }
};

// A colour from 0xRRGGBB.
constexpr Colour rgb(std::uint32_t hex)
{
    return {static_cast<std::uint8_t>(hex >> 16), static_cast<std::uint8_t>(hex >> 8), static_cast<std::uint8_t>(hex)};
}

// The colours of a picture, for its legend and its tests.
namespace picture {
constexpr Colour background = rgb(0x17191e);
constexpr Colour empty = rgb(0x0b0c0f);
constexpr Colour start = rgb(0x3ccf6e);
constexpr Colour finish = rgb(0xf2b630);
constexpr Colour invisibleEdge = rgb(0x69d2f5);
constexpr Colour run = rgb(0xff6f1a);
constexpr Colour jump = rgb(0xffe14d);
constexpr Colour death = rgb(0xff3b3b);
Colour stone(int height); // 1 (darkest) to 5 (lightest)
} // namespace picture

// An RGB image in memory.
class Picture {
public:
    int width() const;
    int height() const;
    Colour at(int x, int y) const;
    // Saves as PNG; on failure returns false and says why in `error`.
    bool savePng(const std::string& path, std::string& error) const;
    static std::optional<Picture> loadPng(const std::string& path);

private:
    friend Picture drawLevel(const LevelFile&, const std::vector<PathPoint>&, const std::string&, int);
    explicit Picture(cairo_surface_t* surface);
    std::shared_ptr<cairo_surface_t> surface_;
};

// Where the grid lies in a picture.
struct PictureLayout {
    int cell = 24;    // pixels a cell
    int gridLeft = 0; // the left edge of row 1
    int gridTop = 0;  // the top edge of column 1

    // The pixel of a plan point (x across, d into the level).
    double pixelX(double d) const { return gridLeft + d * cell; }
    double pixelY(double x) const { return gridTop + x * cell; }
    // The centre pixel of a cell (0-based row and column).
    int centreX(int row) const { return gridLeft + row * cell + cell / 2; }
    int centreY(int column) const { return gridTop + column * cell + cell / 2; }
};

PictureLayout pictureLayout(int cell = 24);

// Why this build of the tool draws no pictures, or nothing when it does. The Windows build has
// no Cairo: there a Picture is empty and cannot be saved.
std::string whyNoPictures();

// Draws the level; `path` (may be empty) is the hero's way, one point a frame, drawn up to its
// first death; `caption` goes into the title line after the file's name.
Picture drawLevel(const LevelFile& level, const std::vector<PathPoint>& path, const std::string& caption,
                  int cell = 24);
