#include "gl/ShaderManager.h"

#include <GL/glew.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

namespace {

const char* const shaderFolder = "Tindral/Shader/";

struct ProgramFiles {
    ProgramKind kind;
    const char* baseName;
};

// Hud is built before Glow; each still lands under its own kind.
constexpr ProgramFiles buildOrder[] = {
    {ProgramKind::Basic, "basicShader"}, {ProgramKind::Depth, "depthShader"}, {ProgramKind::Flame, "flameShader"},
    {ProgramKind::Hud, "hudShader"},     {ProgramKind::Glow, "glowShader"},
};

// Every uniform the game sets, per kind, in the order the locations are fetched.
const std::vector<const char*> registeredUniforms[programKindCount] = {
    // Basic
    {"projectionMatrix", "modelMatrix",       "viewMatrix",   "camPosition",   "light",
     "depthProjMat",     "depthViewMat",      "biasMat",      "depthMVP",      "material_ambient",
     "material_diffuse", "material_specular", "transparency", "border",        "lightColor",
     "maxDistance",      "minDistance",       "distance",     "color_texture", "normal_texture",
     "shadow_texture"},
    // Depth
    {"modelMatrix", "projectionMatrix", "viewMatrix", "camPosition", "light"},
    // Flame
    {"modelMatrix", "projectionMatrix", "viewMatrix", "lightColor"},
    // Glow
    {"modelMatrix", "glowTexture", "windowHeight", "windowWidth", "pass", "border"},
    // Hud
    {"modelMatrix", "colorNeutral", "colorFinal"},
};

// The driver's log of a shader or a program, read through the matching pair of queries.
template <typename GetParameter, typename GetLog>
std::string infoLog(GLuint object, GetParameter getParameter, GetLog getLog)
{
    GLint length = 0;
    getParameter(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length > 0 ? length : 1), '\0');
    getLog(object, static_cast<GLsizei>(log.size()), nullptr, log.data());
    return std::string(log.data());
}

std::string shaderLog(GLuint shader)
{
    return infoLog(shader, glGetShaderiv, glGetShaderInfoLog);
}

std::string programLog(GLuint program)
{
    return infoLog(program, glGetProgramiv, glGetProgramInfoLog);
}

// Only a regular file is a shader: a FIFO would block the start until something writes to
// it, and a folder opens like a file. A read that fails throws from the stream's buffer.
std::string readShaderFile(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw ShaderBuildError("Failed to open file " + path);
    std::ifstream file(path, std::ios::binary);
    if (!file.good())
        throw ShaderBuildError("Failed to open file " + path);
    try {
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
        throw ShaderBuildError("Failed to open file " + path);
    }
}

} // namespace

ShaderProgram::ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath)
{
    program = glCreateProgram();
    if (program == 0)
        throw ShaderBuildError("Failed to create Shader Program");
    compileShader(vertexPath, GL_VERTEX_SHADER, vertexShader);
    compileShader(fragmentPath, GL_FRAGMENT_SHADER, fragmentShader);
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
    link();
}

void ShaderProgram::compileShader(const std::string& path, unsigned int shaderType, unsigned int& shaderId)
{
    const std::string source = readShaderFile(path);

    shaderId = glCreateShader(shaderType);
    if (shaderId == 0)
        throw ShaderBuildError("Didn't get valid Shaderfile");

    const char* text = source.c_str();
    glShaderSource(shaderId, 1, &text, nullptr);
    glCompileShader(shaderId);

    GLint status = GL_FALSE;
    glGetShaderiv(shaderId, GL_COMPILE_STATUS, &status);
    if (status != GL_FALSE && glIsShader(shaderId))
        return;
    throw ShaderBuildError("Failed to compile shader\n" + shaderLog(shaderId));
}

// A program that does not link would draw nothing, frame after frame, without a word:
// better to stop at start-up with the driver's reason, as for a compile failure.
void ShaderProgram::link()
{
    glLinkProgram(program);
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != GL_FALSE)
        return;
    throw ShaderBuildError("Failed to link shader program\n" + programLog(program));
}

ShaderManager* ShaderManager::instance(std::ostream& console)
{
    // Built on first use, after the GL context exists; lives until the process ends.
    static ShaderManager* manager = nullptr;
    if (!manager)
        manager = new ShaderManager(console);
    return manager;
}

ShaderManager::ShaderManager(std::ostream& console)
{
    console << "ShaderManager: initializing ..." << std::endl;
    const std::string folder = shaderFolder;
    for (const ProgramFiles& files : buildOrder) {
        const std::string base = folder + files.baseName;
        programs[indexOf(files.kind)] = std::make_unique<ShaderProgram>(base + ".vert", base + ".frag");
    }
    registerUniforms();
    console << "ShaderManager: DONE" << std::endl;
}

void ShaderManager::registerUniforms()
{
    for (std::size_t kind = 0; kind < programKindCount; ++kind)
        for (const char* name : registeredUniforms[kind])
            uniformLocations[kind][name] = glGetUniformLocation(programs[kind]->program, name);
}

void ShaderManager::useProgram(ProgramKind kind) const
{
    glUseProgram(program(kind));
}

unsigned int ShaderManager::program(ProgramKind kind) const
{
    return programs[indexOf(kind)]->program;
}

int ShaderManager::location(ProgramKind kind, std::string_view name) const
{
    const UniformTable& table = uniformLocations[indexOf(kind)];
    const auto found = table.find(name);
    return found == table.end() ? -1 : found->second;
}
