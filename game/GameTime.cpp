#include "game/GameTime.h"

#include <algorithm>
#include <cmath>

double speedFactor(int difficulty)
{
    return static_cast<double>(difficulty) * 0.5 + 0.5;
}

double gameTimeStep(int difficulty, double realSeconds)
{
    return speedFactor(difficulty) * std::clamp(realSeconds, 0.0, longestFrame);
}

SubSteps subStepsOf(double gameStep)
{
    if (!(gameStep > 0.0))
        return SubSteps{1, 0.0};
    const double kept = std::min(gameStep, mostSubSteps * longestSubStep);
    const int count = std::min(mostSubSteps, static_cast<int>(std::ceil(kept / longestSubStep)));
    return SubSteps{count, kept / count};
}
