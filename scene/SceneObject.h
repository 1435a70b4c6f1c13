#pragma once
#include "assets/Model.h"

#include <glm/glm.hpp>
#include <string>

class ShaderManager;

// How an object gets its model: read from disk (the game), or none at all, for rules and
// physics that run without a window.
enum class ModelSource { FromDisk, Detached };

// Base of everything the game draws and moves. Copies share the GL objects, textures and
// material of their source (through Model's shared pointers) and copy the mesh arrays.
class SceneObject {
public:
    SceneObject(glm::vec3 position, const std::string& modelName, float uvScale, float scaleFactor,
                ModelSource source = ModelSource::FromDisk);
    SceneObject(const SceneObject&) = default;
    SceneObject& operator=(const SceneObject&) = default;
    virtual ~SceneObject() = default;

    virtual void updateWithParent(glm::mat4 parent, double dt);
    virtual void update(double dt);
    // Draws the model with the program the pass has made current; a detached object draws nothing.
    virtual void draw(int pass);
    virtual void setVelocity(glm::vec3 v);
    virtual void jump();
    virtual void playSound(int id, bool looped);

    Model model;
    glm::mat4 modelMatrix{1.0f};
    glm::vec3 position;
    glm::vec3 velocity{0.0f};
    float uvScale;
    float scaleFactor;
    float transparency = 1.0f;
    ShaderManager* shaderManager = nullptr;

protected:
    // Uploads modelMatrix to a program's "modelMatrix" (the program must be current).
    void uploadModelMatrix(int programKind) const;
    // Prints `where` when a GL error is pending (and clears it), to narrow down a faulty draw.
    static void reportGlError(const char* where);
};
