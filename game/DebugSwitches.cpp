#include "game/DebugSwitches.h"

#include "game/ConsoleLines.h"

#include <string>

DebugSwitches& debugSwitches()
{
    static DebugSwitches switches;
    return switches;
}

namespace {
const std::string separatorLine(69, '-');
} // namespace

// Every figure is the negation of its switch, so the three view lines read 1 while that
// debug view replaces the normal drawing.
void printSwitchReport(std::ostream& out, const DebugSwitches& s, int objectsDrawn)
{
    out << separatorLine << std::endl;
    out << ConsoleLine::wireframe << (s.solidFill ? 0 : 1) << std::endl;
    out << ConsoleLine::transparency << (s.invisTransparency ? 0 : 1) << std::endl;
    out << ConsoleLine::viewFrustum << (s.viewFrustumCulling ? 0 : 1) << " | " << objectsDrawn
        << ConsoleLine::objectsDrawn << std::endl;
    out << ConsoleLine::textureSampling << (s.linearSampling ? 0 : 1) << std::endl;
    out << ConsoleLine::mipmapping << (s.mipmapLevel == 0 ? 1 : 0) << std::endl;
}

void printFrametimeLine(std::ostream& out, float frameTime)
{
    out << separatorLine << std::endl;
    out << ConsoleLine::frameTime << frameTime << " " << framesPerSecond(frameTime) << "FPS" << std::endl;
}

// A frame time of 0 (the very first frame) or one too small to give an int figure has no
// meaningful rate; 0 says so instead of converting an out-of-range float.
int framesPerSecond(float frameTime)
{
    const float fps = 1.0f / frameTime;
    if (!(fps > -2.0e9f && fps < 2.0e9f))
        return 0;
    return static_cast<int>(fps);
}
