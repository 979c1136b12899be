// How the windows, and their tests, find the components their stored definitions create.
#pragma once

#include <string>
#include <string_view>

#include "platform/core/Component.h"

// The component of Form named Name, of type T; one that is missing or of another type is
// reported by name instead of crashing.
template <class T>
T& FormComponent(const TComponent& Form, std::string_view Name) {
  auto* Result = dynamic_cast<T*>(Form.FindComponent(Name));
  if (!Result) throw Exception("The definition of " + Form.Name() + " lacks " + std::string(Name));
  return *Result;
}
