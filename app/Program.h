// Starts the windows: application object, title, main window, Adjustment dialog, message loop.
#pragma once

#include <string>

class TApplication;

// The program's own options for the windows.
struct TStartOptions {
  bool Minimized = false;    // --minimized
  bool KeepSettings = true;  // off with --no-settings
  bool Go = false;           // --go [PEST]
  std::string Pest;          // the pest --go names; empty: the one kept, else the first
};

int RunProgram(int argc, char** argv, const TStartOptions& Options);
// Title and the two windows from their built-in definitions, main window first, each linked to
// the other, with the choices kept from the last run (unless Options say not to).
void CreateWindows(TApplication& App, const TStartOptions& Options = {});
