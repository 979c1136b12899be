// Writes the translated texts of stored window definitions as a gettext template, for the
// catalog's template beside what xgettext finds in the sources (po/CMakeLists.txt, target pot).
//
//   extract-definition-texts OUTPUT.pot SOURCE_DIR resources/frmMain.dfm ...
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/core/DefinitionTexts.h"

namespace {

std::string PoString(const std::string& Text) {
  std::string Quoted = "\"";
  for (const char C : Text) {
    if (C == '"' || C == '\\') Quoted += '\\';
    if (C == '\n')
      Quoted += "\\n";
    else if (C == '\t')
      Quoted += "\\t";
    else
      Quoted += C;
  }
  return Quoted + '"';
}

std::string ReadFile(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  if (!In) throw std::runtime_error("cannot read " + Path);
  std::ostringstream Text;
  Text << In.rdbuf();
  return Text.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: extract-definition-texts OUTPUT.pot SOURCE_DIR DEFINITION...\n";
    return 2;
  }
  try {
    // Each text once, with every place it is stored, in the order first met.
    std::vector<std::string> Order;
    std::map<std::string, std::vector<std::string>> Places;
    for (int I = 3; I < argc; ++I) {
      const std::string Name = argv[I];
      for (const TDefinitionText& T :
           DefinitionTexts(ReadFile(std::string(argv[2]) + "/" + Name), Name)) {
        auto [It, New] = Places.try_emplace(T.Text);
        if (New) Order.push_back(T.Text);
        It->second.push_back(Name + ":" + std::to_string(T.Line));
      }
    }
    std::ofstream Out(argv[1], std::ios::binary);
    Out << "msgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n";
    for (const std::string& Text : Order) {
      Out << "\n#:";
      for (const std::string& Place : Places[Text]) Out << ' ' << Place;
      Out << "\nmsgid " << PoString(Text) << "\nmsgstr \"\"\n";
    }
    if (!Out.flush()) throw std::runtime_error(std::string("cannot write ") + argv[1]);
  } catch (const std::exception& E) {
    std::cerr << "extract-definition-texts: " << E.what() << '\n';
    return 1;
  }
  return 0;
}
