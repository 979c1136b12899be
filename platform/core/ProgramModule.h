// The program's own shared modules (the windows, the audio output), loaded when first needed so
// that a command starts without the libraries they link. A module is looked for beside the
// program (the build folder), then in lib/tessolon/ of the prefix the program is installed under,
// both found from the program's own location, so a staged or moved installation finds it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/core/DynamicLibrary.h"

// The module's file, or the place it is missing from, for a program in ProgramFolder.
std::filesystem::path ProgramModuleFile(const std::filesystem::path& ProgramFolder,
                                        const std::string& Name);

// Loads the running program's module Name. Throws Exception "the What module is missing: FILE"
// or "cannot load FILE: REASON".
std::unique_ptr<TDynamicLibrary> LoadProgramModule(const std::string& Name,
                                                   const std::string& What);
