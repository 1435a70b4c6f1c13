#pragma once

// a at t = 0, b at t = 1. Not glm::mix, which sums a * (1 - t) + b * t: that rounds
// differently and would move every generated model and texture by a bit or two.
template <typename T>
T lerp(T a, T b, float t)
{
    return a + (b - a) * t;
}
