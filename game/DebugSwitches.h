#pragma once
#include <ostream>

// Debug views flipped by the function keys; every change asks for a console report.
struct DebugSwitches {
    bool solidFill = true;
    bool invisTransparency = true;
    bool viewFrustumCulling = true;
    bool linearSampling = false;
    int mipmapLevel = 0;
    bool showFrametime = false;
    bool reportPending = false;
};

// The process-wide switches the key callback flips.
DebugSwitches& debugSwitches();

// The report of every switch: a line of dashes, then one line per view.
void printSwitchReport(std::ostream& out, const DebugSwitches& switches, int objectsDrawn);
// The frame-time line, under a line of dashes.
void printFrametimeLine(std::ostream& out, float frameTime);
// The whole frames a second a frame time gives; 0 where that has no meaning.
int framesPerSecond(float frameTime);
