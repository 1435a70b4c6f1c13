#pragma once
// The keys and key actions the rules speak of, numbered as GLFW numbers them, so that the window's
// key events reach the rules unchanged. The game itself needs no window system.
namespace Key {
constexpr int Space = 32;
constexpr int A = 65;
constexpr int D = 68;
constexpr int F = 70;
constexpr int G = 71;
constexpr int H = 72;
constexpr int I = 73;
constexpr int J = 74;
constexpr int K = 75;
constexpr int L = 76;
constexpr int O = 79;
constexpr int Q = 81;
constexpr int R = 82;
constexpr int S = 83;
constexpr int T = 84;
constexpr int U = 85;
constexpr int W = 87;
constexpr int Z = 90;
constexpr int Escape = 256;
constexpr int Enter = 257;
constexpr int Tab = 258;
constexpr int F2 = 291;
constexpr int F3 = 292;
constexpr int F4 = 293;
constexpr int F5 = 294;
constexpr int F8 = 297;
constexpr int F9 = 298;
} // namespace Key

namespace KeyAction {
constexpr int Release = 0;
constexpr int Press = 1;
constexpr int Repeat = 2;
} // namespace KeyAction
