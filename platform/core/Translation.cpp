#include "platform/core/Translation.h"

#include <libintl.h>

#include <array>
#include <clocale>

#include "platform/core/SysUtils.h"

namespace fs = std::filesystem;

const char* Tr(const char* Text) {
  return dgettext(TranslationDomain, Text);
}

std::string Tr(const std::string& Text) {
  return Tr(Text.c_str());
}

// gettext's context: "Context\4Text" is the message id; an untranslated lookup returns it.
const char* TrContext(const char* Context, const char* Text) {
  const std::string Id = std::string(Context) + '\4' + Text;
  const char* Found = dgettext(TranslationDomain, Id.c_str());
  return Found == Id.c_str() ? nullptr : Found;
}

void StartTranslations(const fs::path& LocaleFolder) {
  std::setlocale(LC_CTYPE, "");
  std::setlocale(LC_MESSAGES, "");
  if (!LocaleFolder.empty()) bindtextdomain(TranslationDomain, LocaleFolder.c_str());
  bind_textdomain_codeset(TranslationDomain, "UTF-8");
  textdomain(TranslationDomain);
}

fs::path ProgramLocaleFolder(const fs::path& ProgramFolder) {
  const fs::path Beside = ProgramFolder / "locale";
  std::error_code Error;
  if (fs::is_directory(Beside, Error)) return Beside;
  return (ProgramFolder / TESSOLON_LOCALE_FROM_BINDIR).lexically_normal();
}

void StartProgramTranslations() {
  std::error_code Error;
  const fs::path Program = fs::read_symlink("/proc/self/exe", Error);
  // Without its own folder the program looks in the system's.
  StartTranslations(Error ? fs::path() : ProgramLocaleFolder(Program.parent_path()));
}

bool IsTranslatedProperty(std::string_view Property) {
  static constexpr std::array<std::string_view, 7> Translated = {
      "Caption", "Hint", "Text", "Items", "Items.Strings", "Lines", "Lines.Strings"};
  for (std::string_view Name : Translated)
    if (SameIdent(Name, Property)) return true;
  return false;
}

bool IsTranslatedText(std::string_view Text) {
  bool Letter = false;
  for (const char C : Text) {
    if (static_cast<unsigned char>(C) >= 0x80) return false;
    if ((C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z')) Letter = true;
  }
  return Letter;
}
