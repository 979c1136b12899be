// A stored window definition as plain values: each object's name, class and simple property
// values as written, without creating the components. For code that needs a few stored values
// but not the classes that own them, such as the headless sweep reading the Adjustment dialog's
// settings without its widgets.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

struct TDefinitionOutline {
  std::string Name, ClassName;
  // The object's own text, from "object" to its "end"; it reads as a definition of its own.
  std::string_view Text;
  // Identifiers, numbers and strings (decoded), by property name; lists, sets, collections and
  // binary data are left out.
  std::map<std::string, std::string, std::less<>> Values;
  std::vector<TDefinitionOutline> Children;

  // The object named Name here or below, depth first; nullptr when none is.
  const TDefinitionOutline* Find(std::string_view Name) const;
  // A value; Default when the object does not set it.
  std::string Value(std::string_view Property, std::string_view Default = "") const;
};

// Outlines the definition in Text, which must stay alive as long as the outline. Malformed text
// raises the same EDefinitionError as the full reader.
TDefinitionOutline OutlineDefinition(std::string_view Text, const std::string& FileName);
