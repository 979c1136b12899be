#include "tests/calc/Calc.h"

#include <cstdlib>
#include <fstream>
#include <regex>
#include <stdexcept>

#include "tests/support/ShellRun.h"

namespace fs = std::filesystem;

bool TCalc::Installed() {
  return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

std::vector<fs::path> TCalc::Convert(const std::vector<fs::path>& Inputs, const std::string& Filter,
                                     const fs::path& OutDir, const std::string& InFilter) const {
  for (const char* Sub : {"home", "tmp", "run"}) fs::create_directories(FFolder / Sub);
  fs::permissions(FFolder / "run", fs::perms::owner_all);
  fs::create_directories(OutDir);
  // A C locale makes the office's own en-US: numbers are written and read with a point. The
  // office keeps its files, temporary ones and runtime state in the test's folder.
  std::string Line = "LC_ALL=C.UTF-8 HOME=" + ShellQuoted((FFolder / "home").string()) +
                     " TMPDIR=" + ShellQuoted((FFolder / "tmp").string()) +
                     " XDG_RUNTIME_DIR=" + ShellQuoted((FFolder / "run").string()) +
                     " timeout -k 10 120 soffice " +
                     ShellQuoted("-env:UserInstallation=file://" + (FFolder / "profile").string()) +
                     " --headless --norestore --nolockcheck";
  if (!InFilter.empty()) Line += " " + ShellQuoted("--infilter=" + InFilter);
  Line += " --convert-to " + ShellQuoted(Filter) + " --outdir " + ShellQuoted(OutDir.string());
  for (const fs::path& Input : Inputs) Line += " " + ShellQuoted(Input.string());
  const TShellRun Run = RunShell(FFolder, Line);
  const std::string Extension = "." + Filter.substr(0, Filter.find(':'));
  std::vector<fs::path> Outputs;
  for (const fs::path& Input : Inputs) {
    const fs::path Output = OutDir / Input.filename().replace_extension(Extension);
    if (!fs::exists(Output))
      throw std::runtime_error("soffice wrote no " + Output.string() + " (exit status " +
                               std::to_string(Run.Status) + "): " + Run.Out + Run.Err);
    Outputs.push_back(Output);
  }
  return Outputs;
}

TCsv ReadCsv(const fs::path& Name) {
  std::ifstream In(Name, std::ios::binary);
  TCsv Rows;
  for (std::string Line; std::getline(In, Line);) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    std::vector<std::string> Cells(1);
    bool InQuotes = false;
    for (std::size_t I = 0; I < Line.size(); ++I) {
      const char C = Line[I];
      if (InQuotes && C == '"' && I + 1 < Line.size() && Line[I + 1] == '"')
        Cells.back() += Line[++I];
      else if (C == '"')
        InQuotes = !InQuotes;
      else if (C == ',' && !InQuotes)
        Cells.emplace_back();
      else
        Cells.back() += C;
    }
    Rows.push_back(std::move(Cells));
  }
  return Rows;
}

void WriteCsv(const fs::path& Name, const TCsv& Rows) {
  std::ofstream Out(Name, std::ios::binary);
  for (const auto& Row : Rows) {
    for (std::size_t I = 0; I < Row.size(); ++I) {
      if (I > 0) Out << ',';
      if (IsNumber(Row[I])) {
        Out << Row[I];
        continue;
      }
      Out << '"';
      for (char C : Row[I]) Out << (C == '"' ? "\"\"" : std::string(1, C));
      Out << '"';
    }
    Out << '\n';
  }
}

bool IsNumber(const std::string& Text) {
  static const std::regex Number(R"([-+]?(\d+\.?\d*|\.\d+))");
  return std::regex_match(Text, Number);
}
