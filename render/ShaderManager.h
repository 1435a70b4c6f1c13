#pragma once
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

// One linked GL program with its two shaders.
struct ShaderProgram {
    // Compiles both files and links them; any failure ends the process with its message.
    ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath);

    // Reads and compiles one shader file into shaderId; fatal on any failure.
    static void compileShader(const std::string& path, unsigned int shaderType, unsigned int& shaderId);

    unsigned int program = 0;
    unsigned int vertexShader = 0;
    unsigned int fragmentShader = 0;

private:
    void link();
};

// Builds the five programs once and keeps every uniform location by name.
class ShaderManager {
public:
    // The one manager; the first call builds all programs (fatal on any failure).
    static ShaderManager* instance();

    void useProgram(int kind) const;
    unsigned int program(int kind) const;
    // Location of a registered uniform, -1 for a name that was never registered.
    // Takes a view so that per-frame lookups with literals allocate nothing.
    int location(int kind, std::string_view name) const;

    using UniformTable = std::map<std::string, int, std::less<>>;
    std::array<UniformTable, 5> uniformLocations;
    std::array<std::unique_ptr<ShaderProgram>, 5> programs;

private:
    ShaderManager();
    void registerUniforms();
};
