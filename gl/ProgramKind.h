#pragma once
#include <cstddef>

// The five shader programs, in the order of the program tables.
enum class ProgramKind { Basic, Depth, Flame, Glow, Hud };

constexpr std::size_t programKindCount = 5;

constexpr std::size_t indexOf(ProgramKind kind)
{
    return static_cast<std::size_t>(kind);
}
