#pragma once
#include "gl/ProgramKind.h"

#include <array>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

// A program that cannot be built. The text is what the console should show; whether the
// game can go on without the program is its caller's decision.
class ShaderBuildError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One linked GL program with its two shaders.
struct ShaderProgram {
    // Compiles both files and links them; throws ShaderBuildError on any failure.
    ShaderProgram(const std::string& vertexPath, const std::string& fragmentPath);

    // Reads and compiles one shader file into shaderId; throws ShaderBuildError on any failure.
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
    // The one manager; the first call builds all programs, saying so on `console`, and throws
    // ShaderBuildError when one cannot be built (a later call tries again).
    static ShaderManager* instance(std::ostream& console = std::cout);

    void useProgram(ProgramKind kind) const;
    unsigned int program(ProgramKind kind) const;
    // Location of a registered uniform, -1 for a name that was never registered.
    // Takes a view so that per-frame lookups with literals allocate nothing.
    int location(ProgramKind kind, std::string_view name) const;

    using UniformTable = std::map<std::string, int, std::less<>>;
    std::array<UniformTable, programKindCount> uniformLocations;
    std::array<std::unique_ptr<ShaderProgram>, programKindCount> programs;

private:
    explicit ShaderManager(std::ostream& console);
    void registerUniforms();
};
