#include "tools/level/LevelPicture.h"

// The level tool of a build without Cairo: it checks and solves levels, and a picture asked of
// it is empty and cannot be saved.
std::string whyNoPictures()
{
    return "this build draws no pictures, which need Cairo: draw them with the Linux build's tindral-level";
}

Picture::Picture(cairo_surface_t*)
{}

int Picture::width() const
{
    return 0;
}

int Picture::height() const
{
    return 0;
}

bool Picture::savePng(const std::string&, std::string& error) const
{
    error = whyNoPictures();
    return false;
}

Picture drawLevel(const LevelFile&, const std::vector<PathPoint>&, const std::string&, int)
{
    return Picture(nullptr);
}
