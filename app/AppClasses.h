// Registers every class the windows' stored definitions name.
#pragma once

void RegisterAppClasses();
