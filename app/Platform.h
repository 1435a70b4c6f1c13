#pragma once

// What the game asks of the system it runs on where Linux and Windows answer differently.
// Each system has its own source files under app/platform/<system>/; the build picks one.
namespace platform {

// Someone can answer at the console: standard input is a terminal, not a pipe or a file.
bool consoleIsInteractive();

// Keeps a console window readable before the process ends: waits for a key, but only when
// someone is at the console, so that scripts and CI never hang.
void pauseConsole();

// The console is a report: a reader that goes away (the game piped into `head`, a closed
// terminal) must not end the game. Writes to it then fail, the console stream goes bad and
// drops every later line, and the game plays on without it.
void keepPlayingWhenTheConsoleCloses();

// Before the loading threads start. Loading the models allocates and frees blocks of many
// megabytes (the model importer reads through a 16 MB buffer per file); the allocator is
// told to give such blocks back to the system as soon as they are freed, instead of keeping
// them for the game's whole life.
void returnLargeBlocksWhenFreed();

// Once loading is done: what loading threads freed goes back to the system.
void releaseFreedMemory();

} // namespace platform
