// Reads stored window definitions: Delphi-style text,
//
//   object frmMain: TfrmMain
//     Caption = 'Tessolon'#8482
//     Color = clTeal
//     object btnGo: TButton
//       OnClick = btnGoClick
//     end
//   end
//
// Nested objects are owned by the root and get their enclosing object as parent component.
// Component references (`DataSource = DataSource1`, or `frmUtil.DataSource1` in another root)
// are resolved once the whole tree is read; a reference into a root not read yet is resolved
// when that root is read. Event values name handlers published by the root's class. Loaded()
// runs on every component, root first, after all references are resolved. Errors are
// EDefinitionError "<file>, line <n>: <reason>"; components created by a failed read are freed.
#pragma once

#include <string>
#include <string_view>

#include "platform/core/Component.h"
#include "platform/core/DefinitionLexer.h"

// Reads into Root, whose class must be the top object's class.
void ReadDefinition(TComponent& Root, std::string_view Text, const std::string& FileName);
void ReadDefinitionFile(TComponent& Root, const std::string& Path);
// Creates the top object by its registered class, owned by Owner, and reads into it.
TComponent* CreateFromDefinition(TComponent* Owner, std::string_view Text,
                                 const std::string& FileName);
