#include "tools/level/LevelPicture.h"

#include <algorithm>
#include <cairo.h>
#include <filesystem>

namespace {

constexpr int margin = 16;
constexpr int titleSize = 15; // pixels of the title's type
constexpr int labelSize = 10;
constexpr int gutter = 16; // column numbers left of the grid
constexpr const char* typeface = "DejaVu Sans";
constexpr Colour gridLine = rgb(0x25282f);
constexpr Colour label = rgb(0x9aa0ab);
constexpr Colour titleColour = rgb(0xe6e8ec);
constexpr Colour darkDigit = rgb(0x1b1d22);
constexpr Colour lightDigit = rgb(0xd0d3d9);

// Cairo's drawing state, freed with the function that drew.
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void setColour(cairo_t* cr, Colour c, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

void fillRect(cairo_t* cr, double x, double y, double w, double h, Colour c, double alpha = 1.0)
{
    setColour(cr, c, alpha);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

void strokeRect(cairo_t* cr, double x, double y, double w, double h, double width, Colour c)
{
    setColour(cr, c);
    cairo_set_line_width(cr, width);
    cairo_rectangle(cr, x + width / 2, y + width / 2, w - width, h - width);
    cairo_stroke(cr);
}

void disc(cairo_t* cr, double x, double y, double radius, Colour c)
{
    setColour(cr, c);
    cairo_arc(cr, x, y, radius, 0.0, 6.283185307179586);
    cairo_fill(cr);
}

void line(cairo_t* cr, double x0, double y0, double x1, double y1, double width, Colour c)
{
    setColour(cr, c);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
}

void useType(cairo_t* cr, int size, bool bold = false)
{
    cairo_select_font_face(cr, typeface, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

double textWidth(cairo_t* cr, const std::string& text)
{
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents.x_advance;
}

// Text with its baseline at y; returns its width.
double text(cairo_t* cr, double x, double y, const std::string& text, Colour c)
{
    setColour(cr, c);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
    return textWidth(cr, text);
}

void checker(cairo_t* cr, double x, double y, double size)
{
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            fillRect(cr, x + i * size / 4, y + j * size / 4, size / 4, size / 4,
                     (i + j) % 2 ? rgb(0x111111) : rgb(0xf4f4f4));
}

// Glass: the stone faint over the dark, striped, with a light edge.
void glass(cairo_t* cr, double x, double y, double size, Colour stone)
{
    fillRect(cr, x, y, size, size, picture::empty);
    fillRect(cr, x, y, size, size, stone, 0.35);
    cairo_save(cr);
    cairo_rectangle(cr, x, y, size, size);
    cairo_clip(cr);
    setColour(cr, stone, 0.7);
    cairo_set_line_width(cr, 1.0);
    for (double k = -size; k < size; k += 6.0) {
        cairo_move_to(cr, x + k, y + size);
        cairo_line_to(cr, x + k + size, y);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
    strokeRect(cr, x + 1, y + 1, size - 2, size - 2, 1.0, picture::invisibleEdge);
}

// The legend's items left to right from (x, y), their top; returns its width. With no
// context it only measures.
double legend(cairo_t* cr, double x, double y, int cell)
{
    const double swatch = std::max(cell * 0.6, 14.0);
    const double baseline = y + swatch / 2 + labelSize * 0.35;
    double left = x;
    useType(cr, labelSize);
    const auto write = [&](const std::string& words) { left += text(cr, left, baseline, words, label) + 8; };
    write("height");
    for (int h = 1; h <= 5; ++h) {
        fillRect(cr, left, y, swatch, swatch, picture::stone(h));
        text(cr, left + swatch / 2 - 3, baseline, std::to_string(h), h >= 3 ? darkDigit : lightDigit);
        left += swatch + 2;
    }
    left += 14;
    glass(cr, left, y, swatch, picture::stone(3));
    left += swatch + 6;
    write("invisible");
    left += 10;
    disc(cr, left + swatch / 2, y + swatch / 2, swatch * 0.36, picture::start);
    left += swatch + 6;
    write("start");
    left += 10;
    checker(cr, left, y, swatch);
    strokeRect(cr, left, y, swatch, swatch, 2.0, picture::finish);
    left += swatch + 6;
    write("finish");
    left += 10;
    line(cr, left, y + swatch / 2, left + 22, y + swatch / 2, 3.0, picture::run);
    left += 28;
    write("on the ground");
    left += 4;
    line(cr, left, y + swatch / 2, left + 22, y + swatch / 2, 3.0, picture::jump);
    left += 28;
    write("in the air");
    return left - x;
}

void drawCell(cairo_t* cr, const PictureLayout& layout, const LevelFile& level, const LevelCell& cell)
{
    const double x = layout.gridLeft + cell.row * layout.cell;
    const double y = layout.gridTop + cell.column * layout.cell;
    const double size = layout.cell;
    if (cell.height == 0) {
        fillRect(cr, x, y, size, size, picture::empty);
        return;
    }
    const Colour stone = picture::stone(cell.height);
    if (cell.kind == CellKind::Invisible)
        glass(cr, x, y, size, stone);
    else
        fillRect(cr, x, y, size, size, stone);
    useType(cr, 9);
    text(cr, x + 3, y + 11, std::to_string(cell.height), cell.height >= 3 ? darkDigit : lightDigit);

    const auto start = level.start();
    const auto finish = level.finish();
    if (start && start->row == cell.row && start->column == cell.column) {
        disc(cr, x + size / 2, y + size / 2, size * 0.36, rgb(0x0f2a18));
        disc(cr, x + size / 2, y + size / 2, size * 0.30, picture::start);
    }
    if (finish && finish->row == cell.row && finish->column == cell.column) {
        checker(cr, x + 3, y + 3, size - 6);
        strokeRect(cr, x, y, size, size, 3.0, picture::finish);
    }
}

// Runs of frames on the ground and in the air, each one line, up to the first death.
void drawPath(cairo_t* cr, const PictureLayout& layout, const std::vector<PathPoint>& path)
{
    const double width = std::max(2.5, layout.cell / 8.0);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (std::size_t i = 1; i < path.size(); ++i) {
        const PathPoint& from = path[i - 1];
        const PathPoint& to = path[i];
        if (to.died) {
            const double x = layout.pixelX(-from.position.z), y = layout.pixelY(from.position.x);
            const double r = layout.cell * 0.25;
            line(cr, x - r, y - r, x + r, y + r, 3.0, picture::death);
            line(cr, x - r, y + r, x + r, y - r, 3.0, picture::death);
            return;
        }
        // A run goes on while the hero stays on the ground or stays in the air.
        std::size_t end = i;
        while (end + 1 < path.size() && !path[end + 1].died && path[end + 1].onGround == to.onGround)
            ++end;
        cairo_move_to(cr, layout.pixelX(-from.position.z), layout.pixelY(from.position.x));
        for (std::size_t k = i; k <= end; ++k)
            cairo_line_to(cr, layout.pixelX(-path[k].position.z), layout.pixelY(path[k].position.x));
        setColour(cr, to.onGround ? picture::run : picture::jump);
        cairo_stroke(cr);
        i = end;
    }
}

} // namespace

Colour picture::stone(int height)
{
    static const Colour shades[] = {rgb(0x4b505b), rgb(0x6c727e), rgb(0x8e949f), rgb(0xb2b7c0), rgb(0xd8dbe1)};
    return shades[std::clamp(height, 1, 5) - 1];
}

Picture::Picture(cairo_surface_t* surface) : surface_(surface, cairo_surface_destroy)
{}

int Picture::width() const
{
    return cairo_image_surface_get_width(surface_.get());
}

int Picture::height() const
{
    return cairo_image_surface_get_height(surface_.get());
}

Colour Picture::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return {};
    cairo_surface_flush(surface_.get());
    const unsigned char* row =
        cairo_image_surface_get_data(surface_.get()) + y * cairo_image_surface_get_stride(surface_.get());
    std::uint32_t pixel = 0; // 0xAARRGGBB in the machine's own byte order
    std::copy_n(row + x * 4, 4, reinterpret_cast<unsigned char*>(&pixel));
    return rgb(pixel & 0xffffff);
}

bool Picture::savePng(const std::string& path, std::string& error) const
{
    const cairo_status_t status = cairo_surface_write_to_png(surface_.get(), path.c_str());
    if (status != CAIRO_STATUS_SUCCESS)
        error = "cannot write " + path + ": " + cairo_status_to_string(status);
    return status == CAIRO_STATUS_SUCCESS;
}

std::optional<Picture> Picture::loadPng(const std::string& path)
{
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return std::nullopt;
    }
    return Picture(surface);
}

std::string whyNoPictures()
{
    return {};
}

PictureLayout pictureLayout(int cell)
{
    PictureLayout layout;
    layout.cell = cell;
    layout.gridLeft = margin + gutter;
    layout.gridTop = margin + titleSize + 14;
    return layout;
}

Picture drawLevel(const LevelFile& level, const std::vector<PathPoint>& path, const std::string& caption, int cell)
{
    const PictureLayout layout = pictureLayout(cell);
    const int rows = std::max(level.rows(), 1);
    const std::string name = std::filesystem::path(level.path).filename().string();
    const std::string title =
        name + "  ·  " + std::to_string(level.rows()) + " rows" + (caption.empty() ? "" : "  ·  " + caption);

    // Measure the words first: the picture is as wide as the grid, the title or the legend.
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    Context measure(cairo_create(scratch), cairo_destroy);
    cairo_surface_destroy(scratch);
    useType(measure.get(), titleSize, true);
    const double titleWidth = textWidth(measure.get(), title);
    const double legendWidth = legend(measure.get(), 0, 0, cell);
    const int gridBottom = layout.gridTop + 5 * cell;
    const int legendTop = gridBottom + 10 + labelSize + 14;
    const int width = static_cast<int>(std::max({static_cast<double>(layout.gridLeft + rows * cell + margin),
                                                 2 * margin + titleWidth, 2 * margin + legendWidth}));
    const int height = legendTop + static_cast<int>(std::max(cell * 0.6, 14.0)) + margin;

    Picture picture(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    Context cr(cairo_create(picture.surface_.get()), cairo_destroy);
    fillRect(cr.get(), 0, 0, width, height, picture::background);
    useType(cr.get(), titleSize, true);
    text(cr.get(), margin, margin + titleSize, title, titleColour);

    useType(cr.get(), labelSize);
    for (int column = 0; column < 5; ++column)
        text(cr.get(), margin + 2, layout.centreY(column) + labelSize * 0.35, std::to_string(column + 1), label);
    fillRect(cr.get(), layout.gridLeft - 1, layout.gridTop - 1, rows * cell + 2, 5 * cell + 2, gridLine);
    for (int i = 0; i < rows * 5; ++i)
        fillRect(cr.get(), layout.gridLeft + (i / 5) * cell, layout.gridTop + (i % 5) * cell, cell, cell,
                 picture::empty);
    for (const LevelCell& c : level.cells)
        drawCell(cr.get(), layout, level, c);
    // Thin lines between the cells.
    for (int r = 1; r < rows; ++r)
        fillRect(cr.get(), layout.gridLeft + r * cell, layout.gridTop, 1, 5 * cell, gridLine, 0.6);
    for (int c = 1; c < 5; ++c)
        fillRect(cr.get(), layout.gridLeft, layout.gridTop + c * cell, rows * cell, 1, gridLine, 0.6);
    drawPath(cr.get(), layout, path);

    // Row numbers: the first, then every fifth.
    useType(cr.get(), labelSize);
    for (int r = 0; r < rows; ++r)
        if (r == 0 || (r + 1) % 5 == 0) {
            const std::string number = std::to_string(r + 1);
            text(cr.get(), layout.centreX(r) - textWidth(cr.get(), number) / 2, gridBottom + 10 + labelSize, number,
                 label);
        }
    legend(cr.get(), margin, legendTop, cell);
    cairo_surface_flush(picture.surface_.get());
    return picture;
}
