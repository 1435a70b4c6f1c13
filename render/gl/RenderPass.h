#pragma once

// The pass number handed to the frame renderer and to every object's draw.
struct RenderPass {
    enum : int { Shadow = 0, FlameGlow = 1, Glow = 2, Main = 3, Transparent = 4, Hud = 5 };
};

// Which of the five shader programs is meant; the values index the program tables.
struct ProgramKind {
    enum : int { Basic = 0, Depth = 1, Flame = 2, Glow = 3, Hud = 4 };
};
