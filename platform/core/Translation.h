// The program's texts in the user's language: gettext's "tessolon" catalog, chosen by LANGUAGE,
// LC_ALL, LC_MESSAGES and LANG. Under the C locale, or for a text the catalog lacks, every text
// stays the English one it is looked up by, byte for byte.
//
//   throw Exception(Tr("The Adjustment dialog does not exist"));
//   const char* const Usage = TrMark("Usage: ...");   // looked up where it is shown
//   FormatMessage("Output: %s", Name.c_str());        // looks its text up itself
//
// The catalog's template, po/tessolon.pot, is made from the calls of Tr, TrMark, TrContext and
// FormatMessage (xgettext) and from the stored window definitions' texts
// (po/ExtractDefinitionTexts.cpp, which takes them by the rules below that the definitions reader
// translates by).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

inline constexpr const char* TranslationDomain = "tessolon";

// The text in the user's language. The compiler checks a printf-style call's arguments against
// the English text.
[[gnu::format_arg(1)]] const char* Tr(const char* Text);
std::string Tr(const std::string& Text);
// A text the catalog keeps apart by Context (another program's, such as Qt's); nullptr when the
// catalog has no translation of it.
const char* TrContext(const char* Context, const char* Text);
// Marks a text for the catalog where it is defined; it is translated where it is shown
// (FormatMessage translates its text itself). The compiler still checks printf-style calls
// against a text so marked.
[[gnu::format_arg(1)]] constexpr const char* TrMark(const char* Text) {
  return Text;
}

// Reads the user's language from the environment and binds the catalog in LocaleFolder
// (LocaleFolder/LANG/LC_MESSAGES/tessolon.mo; the system's folder when empty), as UTF-8. Only the
// language and the character type follow the environment: numbers keep '.' as their decimal point
// whatever it names.
void StartTranslations(const std::filesystem::path& LocaleFolder);
// The catalogs of a program in ProgramFolder: locale/ beside it (the build folder), else the
// share/locale of the prefix it is installed under.
std::filesystem::path ProgramLocaleFolder(const std::filesystem::path& ProgramFolder);
// StartTranslations for the running program, its folder found through /proc/self/exe.
void StartProgramTranslations();

// What the definitions reader translates: the texts of these properties that hold a Latin letter
// and nothing beyond ASCII (the About page's Thai captions stay as they are stored, and so do
// numbers, times and marks such as "<<").
bool IsTranslatedProperty(std::string_view Property);
bool IsTranslatedText(std::string_view Text);
