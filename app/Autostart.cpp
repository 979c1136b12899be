#include "app/Autostart.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

#include "platform/core/Exceptions.h"

namespace fs = std::filesystem;

namespace {

fs::path Environment(const char* Name) {
  const char* Value = std::getenv(Name);
  return Value ? fs::path(Value) : fs::path();
}

// A desktop entry's Exec argument: quoted, with a backslash before each character that quoting
// reserves, and every backslash then doubled as in the entry's string values ("\\\\" for one
// backslash, "\\$" for a dollar sign); '%' would start a field code.
std::string ExecArgument(const std::string& Text) {
  std::string Quoted = "\"";
  for (const char C : Text) {
    if (C == '"' || C == '`' || C == '$') Quoted += "\\\\";
    if (C == '\\') Quoted += "\\\\\\";
    if (C == '%') Quoted += '%';
    Quoted += C;
  }
  return Quoted + '"';
}

// A string value: only the backslash needs escaping where no line break can occur.
std::string StringValue(const std::string& Text) {
  std::string Escaped;
  for (const char C : Text) Escaped += C == '\\' ? std::string("\\\\") : std::string(1, C);
  return Escaped;
}

[[noreturn]] void Fail(const char* What, const fs::path& File, const std::error_code& Error) {
  throw Exception(std::string("Cannot ") + What + " the autostart entry " + File.string() + ": " +
                  Error.message());
}

fs::path RequiredFile() {
  const fs::path File = AutostartFile();
  if (File.empty())
    throw Exception("Cannot place the autostart entry: neither XDG_CONFIG_HOME nor HOME is set");
  return File;
}

}  // namespace

fs::path AutostartFile() {
  fs::path Config = Environment("XDG_CONFIG_HOME");
  if (!Config.is_absolute()) {
    const fs::path Home = Environment("HOME");
    if (!Home.is_absolute()) return {};
    Config = Home / ".config";
  }
  return Config / "autostart" / TESSOLON_APP_ID ".desktop";
}

std::string AutostartEntry(const fs::path& Program) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Tessolon\n"
         "Comment=Starts Tessolon with the session, in the tray, sweeping the pest chosen last\n"
         "Exec=" +
         ExecArgument(Program.string()) +
         " --minimized --go\n"
         "TryExec=" +
         StringValue(Program.string()) +
         "\n"
         "Icon=tessolon\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartInstalled() {
  std::error_code Error;
  const fs::path File = AutostartFile();
  return !File.empty() && fs::is_regular_file(File, Error);
}

// Written beside the entry and renamed over it, so that a session starting meanwhile reads the
// old entry or the new one, never half of one.
void InstallAutostart(const fs::path& Program) {
  const fs::path File = RequiredFile();
  std::error_code Error;
  fs::create_directories(File.parent_path(), Error);
  if (Error) Fail("write", File, Error);
  const fs::path Temporary = File.string() + ".new";
  {
    std::ofstream Out(Temporary, std::ios::binary | std::ios::trunc);
    Out << AutostartEntry(Program);
    Out.close();
    if (!Out) {
      fs::remove(Temporary, Error);
      Fail("write", File, std::make_error_code(std::errc::io_error));
    }
  }
  fs::rename(Temporary, File, Error);
  if (Error) {
    std::error_code Ignored;
    fs::remove(Temporary, Ignored);
    Fail("write", File, Error);
  }
}

void RemoveAutostart() {
  const fs::path File = RequiredFile();
  std::error_code Error;
  fs::remove(File, Error);
  if (Error) Fail("remove", File, Error);
}
