#pragma once
// The game's console lines, in one place. Players' scripts, the level tool's users and the
// black-box tests follow a game by them: a change to any of them breaks what reads them.
namespace ConsoleLine {
// Levels
constexpr const char* currentLevel = "Current Level ";   // + the level's number
constexpr const char* readingLevel = "LADE das LEVEL: "; // + the level's name
constexpr const char* levelOpened = "File Opened successfully!!!. Reading data from file into array";
constexpr const char* levelMissing = "File could not be opened.";
constexpr const char* invisibleCubes = "InvisCubes: "; // + how many the level has; the level is built
// Play
constexpr const char* finishReached = "you won";
constexpr const char* levelWon = "you WON";
constexpr const char* heroDied = "hero died";
constexpr const char* livesLeft = " lives left"; // after the number of lives
constexpr const char* gameOver = "Useless Shit";
constexpr const char* cameraSwing = "change site isLeft: "; // + the side it leaves, 0 or 1
// Debug keys
constexpr const char* mipmapStatus = "status MipMap: ";
constexpr const char* wireframe = "draw Wireframe: ";
constexpr const char* transparency = "Transparency: ";
constexpr const char* viewFrustum = "ViewFrustum: ";
constexpr const char* objectsDrawn = " object drawn";
constexpr const char* textureSampling = "TextureSampling: ";
constexpr const char* mipmapping = "Level of MipMapping: ";
constexpr const char* frameTime = "Frametime: ";
} // namespace ConsoleLine
