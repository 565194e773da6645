#pragma once

namespace engine {

// Deletes the engine's objects in the order the unload needs (drives, types, log object)
// and writes the last status line. Runs when the library is unloaded.
void unloadLibrary();

}  // namespace engine
