// Starts the windows: application object, title, main window, Adjustment dialog, message loop.
#pragma once

int RunProgram(int argc, char** argv);
