// Program entry: a headless command when the first argument names one, the windows otherwise.
#pragma once

int TessolonMain(int argc, char** argv);
