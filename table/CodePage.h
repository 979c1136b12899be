// Code pages of table text and their translation to and from UTF-8 through iconv.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The code pages this platform stands in for the system's ANSI and OEM ones.
inline constexpr int ANSI_CODEPAGE = 1252;
inline constexpr int OEM_CODEPAGE = 437;
// Windows' number for UTF-8. No language driver names it: tables hold UTF-8 text when another
// program (LibreOffice Calc's dBase export) wrote it so and left the code-page mark empty.
inline constexpr int UTF8_CODEPAGE = 65001;

// The code page of a level 3/4 (and FoxPro) language driver id, or of a FoxPro code-page mark
// where no driver has the id; 0 when neither is known.
int CodePageOfLanguageId(std::uint8_t Id);
// The code page of a level-7 language driver name; 0 when unknown.
int CodePageOfLanguageName(std::string_view Name);
// A dBase language driver id whose code page is CodePage (0 when none).
std::uint8_t LanguageIdOfCodePage(int CodePage);
// The FoxPro code-page mark of CodePage (0x7C for Thai, 874), else its dBase language driver id;
// 0 when neither exists. python3-dbfread, python3-dbf and GDAL read both kinds.
std::uint8_t CodePageMark(int CodePage);

// True when iconv can convert between CodePage and UTF-8 and the code page keeps ASCII as it is.
bool CodePageSupported(int CodePage);

// The code page an iconv encoding name stands for, in any letter case: UTF-8 (UTF8), CPnnn,
// WINDOWS-nnn, IBMnnn, MACINTOSH; 0 for any other name.
int CodePageOfEncodingName(std::string_view Name);
// The code page as people name it: "UTF-8", "cp437".
std::string CodePageName(int CodePage);

// What a text holds, for telling UTF-8 from a one-byte code page.
enum TUtf8Kind { ukAscii, ukUtf8, ukInvalid };
// ukAscii when every byte is below 0x80, ukUtf8 when it is well-formed UTF-8 with some
// non-ASCII character (no overlong forms, surrogates or code points above U+10FFFF), else
// ukInvalid.
TUtf8Kind ClassifyUtf8(std::string_view Text);
// The length of the longest beginning of UTF-8 Text that is at most MaxBytes long and does not
// cut a character in two.
std::size_t Utf8PrefixLength(std::string_view Text, std::size_t MaxBytes);

// Translation modes of a table: 0 none and not modifiable (code page unsupported), 1 none
// (ANSI), 2 OEM, 3 other code page.
int TranslationModeFor(int CodePage);

// Converts one code page to and from UTF-8. Bytes that do not decode read as U+FFFD; text the
// code page cannot hold is refused with EDbaseError. An unsupported code page decodes ASCII
// and shows every other byte as U+FFFD, and refuses to encode anything but ASCII.
class TCodePageConverter {
 public:
  explicit TCodePageConverter(int CodePage);
  ~TCodePageConverter();
  TCodePageConverter(const TCodePageConverter&) = delete;
  TCodePageConverter& operator=(const TCodePageConverter&) = delete;

  int CodePage() const { return FCodePage; }
  bool Supported() const;
  std::string ToUtf8(std::string_view Raw) const;
  // The same, appended to Result.
  void AppendUtf8(std::string_view Raw, std::string& Result) const;
  std::string FromUtf8(std::string_view Text) const;

 private:
  struct TState;
  int FCodePage;
  std::unique_ptr<TState> FState;
};
