#pragma once

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

DebugSwitches& debugSwitches();
