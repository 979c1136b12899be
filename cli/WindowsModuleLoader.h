// The windows and the pictures, loaded on demand from the windows module, so that the commands
// start without the toolkit. The module is looked for where platform/core/ProgramModule.h says.
#pragma once

#include <filesystem>
#include <string>

#include "cli/WindowsEntry.h"
#include "sound/ToneSpectrum.h"

// The module's file, or the place it is missing from, for a program in ProgramFolder.
std::filesystem::path WindowsModuleFile(const std::filesystem::path& ProgramFolder);

// Starts the windows. A module that is missing or cannot be loaded: one line on stderr, 1.
int RunWindows(int argc, char** argv, const TessolonWindowsOptions& Options);
// Draws the picture through the module; throws Exception when the module cannot be loaded or
// the picture cannot be written.
void WriteSpectrumPicture(const TSpectrumPicture& Picture, const std::string& FileName);
