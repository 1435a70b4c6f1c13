#include "render/ProgramUniforms.h"

#include "gl/ShaderManager.h"

namespace {

// One program's part of the registry.
struct Lookup {
    const ShaderManager& shaders;
    ProgramKind kind;
    int operator()(const char* name) const { return shaders.location(kind, name); }
};

LitUniforms findLit(const ShaderManager& shaders)
{
    const Lookup at{shaders, ProgramKind::Basic};
    return LitUniforms{at("projectionMatrix"),
                       at("modelMatrix"),
                       at("viewMatrix"),
                       at("camPosition"),
                       at("light"),
                       at("depthProjMat"),
                       at("depthViewMat"),
                       at("biasMat"),
                       at("depthMVP"),
                       at("material_ambient"),
                       at("material_diffuse"),
                       at("material_specular"),
                       at("transparency"),
                       at("border"),
                       at("lightColor"),
                       at("maxDistance"),
                       at("minDistance"),
                       at("color_texture"),
                       at("normal_texture"),
                       at("shadow_texture")};
}

DepthUniforms findDepth(const ShaderManager& shaders)
{
    const Lookup at{shaders, ProgramKind::Depth};
    return DepthUniforms{at("modelMatrix"), at("projectionMatrix"), at("viewMatrix"), at("camPosition"), at("light")};
}

FlameUniforms findFlame(const ShaderManager& shaders)
{
    const Lookup at{shaders, ProgramKind::Flame};
    return FlameUniforms{at("modelMatrix"), at("projectionMatrix"), at("viewMatrix"), at("lightColor")};
}

GlowUniforms findGlow(const ShaderManager& shaders)
{
    const Lookup at{shaders, ProgramKind::Glow};
    return GlowUniforms{at("modelMatrix"), at("glowTexture"), at("windowHeight"),
                        at("windowWidth"), at("pass"),        at("border")};
}

HudUniforms findHud(const ShaderManager& shaders)
{
    const Lookup at{shaders, ProgramKind::Hud};
    return HudUniforms{at("modelMatrix"), at("colorNeutral"), at("colorFinal")};
}

} // namespace

ProgramUniforms findUniforms(const ShaderManager& shaders)
{
    return ProgramUniforms{findLit(shaders), findDepth(shaders), findFlame(shaders), findGlow(shaders),
                           findHud(shaders)};
}
