#pragma once

class ShaderManager;

// The uniform locations each pass sets, read from the shader registry once: a frame then sets
// them by field, with no lookup by name.
struct LitUniforms {
    int projectionMatrix, modelMatrix, viewMatrix, camPosition, light;
    int depthProjMat, depthViewMat, biasMat, depthMVP;
    int materialAmbient, materialDiffuse, materialSpecular, transparency, border;
    int lightColor, maxDistance, minDistance;
    int colorTexture, normalTexture, shadowTexture;
};

struct DepthUniforms {
    int modelMatrix, projectionMatrix, viewMatrix, camPosition, light;
};

struct FlameUniforms {
    int modelMatrix, projectionMatrix, viewMatrix, lightColor;
};

struct GlowUniforms {
    int modelMatrix, glowTexture, windowHeight, windowWidth, pass, border;
};

struct HudUniforms {
    int modelMatrix, colorNeutral, colorFinal;
};

struct ProgramUniforms {
    LitUniforms lit;
    DepthUniforms depth;
    FlameUniforms flame;
    GlowUniforms glow;
    HudUniforms hud;
};

ProgramUniforms findUniforms(const ShaderManager& shaders);
