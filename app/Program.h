// Starts the windows: application object, title, main window, Adjustment dialog, message loop.
#pragma once

class TApplication;

int RunProgram(int argc, char** argv);
// Title and the two windows from their built-in definitions, main window first, each linked to
// the other.
void CreateWindows(TApplication& App);
