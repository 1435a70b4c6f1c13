#pragma once
#include <array>
#include <map>
#include <memory>
#include <string>

// One linked GL program with its two shaders.
struct ShaderProgram {
    ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath);

    unsigned int program = 0;
    unsigned int vertexShader = 0;
    unsigned int fragmentShader = 0;
};

// Builds the five programs once and keeps every uniform location by name.
class ShaderManager {
public:
    // The one manager; the first call builds all programs (fatal on any failure).
    static ShaderManager* instance();

    void useProgram(int kind) const;
    unsigned int program(int kind) const;
    // Location of a registered uniform, -1 for a name that was never registered.
    int location(int kind, const std::string& name) const;

    std::array<std::map<std::string, int>, 5> uniformLocations;
    std::array<std::unique_ptr<ShaderProgram>, 5> programs;

private:
    ShaderManager();
    void registerUniforms();
};
