// The program's own command line: --help and --version, then the headless command the first
// other argument names, or the windows, which get every argument as given.
#pragma once

int TessolonMain(int argc, char** argv);
