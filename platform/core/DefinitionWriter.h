// Writes a component tree as a stored window definition (the text the reader reads): the
// properties that differ from their defaults or are always stored, then the nested children.
#pragma once

#include <string>

#include "platform/core/Component.h"

std::string WriteDefinition(const TComponent& Root);
void WriteDefinitionFile(const TComponent& Root, const std::string& Path);
