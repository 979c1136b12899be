// Registers the classes of the Qt layer's base (forms, timer) with the definitions reader.
#pragma once

void RegisterQtClasses();
