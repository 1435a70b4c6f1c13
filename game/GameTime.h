#pragma once

// How the window's real time becomes the game's time.
//
// The difficulty sets the game's speed: game time runs (difficulty × 0.5 + 0.5) times real time,
// so 1 is real time, 0 half speed and -1 a standstill. Anything below -1 would run time
// backwards and is refused where the settings are read.
double speedFactor(int difficulty);

// A frame stands for at most this much real time. A longer gap (a suspended laptop, a debugger,
// a window drag that blocks the loop, a stalled machine) is time the player was not there.
constexpr double longestFrame = 0.25;

// The game time one frame of `realSeconds` stands for at a difficulty.
double gameTimeStep(int difficulty, double realSeconds);

// The hero's jump and fall are integrated step by step, and a long step lifts it higher than a
// short one: a frame's game time is therefore run as equal sub-steps of at most this length...
constexpr double longestSubStep = 0.05;
// ...but never more than this many, so that a huge difficulty cannot stall the machine. Game
// time beyond them is dropped: the game then runs slower than the difficulty asks, rather than
// letting the hero jump higher than the rules allow.
constexpr int mostSubSteps = 8;

struct SubSteps {
    int count = 1;
    double length = 0.0;
};

// How a frame's game step is run: one step when it is no longer than a sub-step (every frame at
// 30 frames a second or faster at the default difficulty), equal sub-steps otherwise. A step
// that is not a positive number stands for no time.
SubSteps subStepsOf(double gameStep);
