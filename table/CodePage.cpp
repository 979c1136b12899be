#include "table/CodePage.h"

#include <iconv.h>

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/core/Utf8.h"
#include "table/DbaseMessages.h"

namespace {

// Language driver ids of level 3/4 and FoxPro tables and their code pages.
const std::map<std::uint8_t, int>& LanguageIds() {
  static const std::map<std::uint8_t, int> Ids = {
      {8, 865},    {9, 437},   {10, 850},  {11, 437},  {12, 850},  {13, 437},  {14, 850},
      {15, 437},   {16, 850},  {17, 437},  {18, 850},  {19, 932},  {20, 850},  {21, 437},
      {22, 850},   {23, 865},  {24, 437},  {25, 437},  {26, 850},  {27, 437},  {28, 863},
      {29, 850},   {31, 852},  {32, 867},  {34, 852},  {35, 852},  {36, 860},  {37, 850},
      {38, 866},   {55, 850},  {77, 936},  {78, 949},  {79, 950},  {80, 874},  {86, 932},
      {87, 1252},  {88, 1252}, {89, 1252}, {94, 437},  {95, 437},  {96, 850},  {97, 1252},
      {98, 1252},  {105, 620}, {133, 862}, {134, 437}, {135, 852}, {136, 857}, {142, 868},
      {155, 1250}, {156, 850}};
  return Ids;
}

// Code-page marks that FoxPro and the tools following it (python3-dbf, GDAL) write at the same
// header byte, for the ids the dBase drivers above leave unused. Without them a Windows ANSI
// table marked 0x03 would read as the OEM code page.
const std::map<std::uint8_t, int>& FoxProCodePageMarks() {
  static const std::map<std::uint8_t, int> Marks = {
      {0x01, 437},  {0x02, 850},  {0x03, 1252}, {0x04, 10000}, {0x64, 852},  {0x65, 866},
      {0x66, 865},  {0x67, 861},  {0x6A, 737},  {0x6B, 857},   {0x78, 950},  {0x79, 949},
      {0x7A, 936},  {0x7B, 932},  {0x7C, 874},  {0x7D, 1255},  {0x7E, 1256}, {0xC8, 1250},
      {0xC9, 1251}, {0xCA, 1254}, {0xCB, 1253}, {0xCC, 1257}};
  return Marks;
}

std::string IconvName(int CodePage) {
  // iconv knows these only by name.
  if (CodePage == 10000) return "MACINTOSH";
  if (CodePage == UTF8_CODEPAGE) return "UTF-8";
  return "CP" + std::to_string(CodePage);
}

const char ReplacementChar[] = "\xEF\xBF\xBD";

bool IsAsciiOnly(std::string_view Text) {
  for (unsigned char C : Text)
    if (C >= 0x80) return false;
  return true;
}

bool IsContinuation(unsigned char C) {
  return (C & 0xC0) == 0x80;
}

// Runs In through Converter a chunk at a time, appending the output to Result. Stops at the
// first input it cannot convert, with In starting there, and says so; false once all is done.
bool ConvertChunks(iconv_t Converter, std::string_view& In, std::string& Result) {
  char* Next = const_cast<char*>(In.data());
  std::size_t Left = In.size();
  char Chunk[1024];
  bool Stopped = false;
  while (Left > 0 && !Stopped) {
    char* Out = Chunk;
    std::size_t OutLeft = sizeof Chunk;
    const std::size_t Done = iconv(Converter, &Next, &Left, &Out, &OutLeft);
    Result.append(Chunk, Out - Chunk);
    Stopped = Done == static_cast<std::size_t>(-1) && errno != E2BIG;
  }
  In = std::string_view(Next, Left);
  return Stopped;
}

}  // namespace

int CodePageOfLanguageId(std::uint8_t Id) {
  for (const auto* Table : {&LanguageIds(), &FoxProCodePageMarks()}) {
    const auto It = Table->find(Id);
    if (It != Table->end()) return It->second;
  }
  return 0;
}

std::uint8_t LanguageIdOfCodePage(int CodePage) {
  for (const auto& [Id, Page] : LanguageIds())
    if (Page == CodePage) return Id;
  return 0;
}

std::uint8_t CodePageMark(int CodePage) {
  for (const auto& [Mark, Page] : FoxProCodePageMarks())
    if (Page == CodePage) return Mark;
  return LanguageIdOfCodePage(CodePage);
}

int CodePageOfLanguageName(std::string_view Name) {
  const auto StartsWith = [&](std::size_t At, std::string_view Text) {
    return Name.size() >= At + Text.size() && Name.substr(At, Text.size()) == Text;
  };
  std::size_t DigitsAt;
  if (StartsWith(0, "DB")) {
    if (StartsWith(2, "WIN")) return 1252;
    if (StartsWith(2, "HEBREW")) return 1255;
    DigitsAt = 2;
  } else if (StartsWith(0, "FOX")) {
    // The name's offset 5 is the header's offset 37.
    if (StartsWith(5, "WIN")) return 1252;
    DigitsAt = 3;
  } else {
    return 0;
  }
  if (Name.size() < DigitsAt + 3) return 0;
  int Result = 0;
  for (std::size_t I = DigitsAt; I < DigitsAt + 3; ++I) {
    if (Name[I] < '0' || Name[I] > '9') return 0;
    Result = Result * 10 + (Name[I] - '0');
  }
  return Result;
}

bool CodePageSupported(int CodePage) {
  static std::mutex Guard;
  static std::map<int, bool> Known;
  if (CodePage <= 0) return false;
  std::lock_guard<std::mutex> Lock(Guard);
  const auto It = Known.find(CodePage);
  if (It != Known.end()) return It->second;
  const iconv_t Handle = iconv_open("UTF-8", IconvName(CodePage).c_str());
  if (Handle == reinterpret_cast<iconv_t>(-1)) return Known[CodePage] = false;
  // The converter passes ASCII through untouched, which EBCDIC and the like do not allow.
  char Ascii[0x5F], Decoded[sizeof Ascii * 4];
  for (std::size_t I = 0; I < sizeof Ascii; ++I) Ascii[I] = static_cast<char>(0x20 + I);
  char* In = Ascii;
  char* Out = Decoded;
  std::size_t InLeft = sizeof Ascii, OutLeft = sizeof Decoded;
  const bool Done = iconv(Handle, &In, &InLeft, &Out, &OutLeft) == 0;
  iconv_close(Handle);
  return Known[CodePage] = Done && Out - Decoded == sizeof Ascii &&
                           std::memcmp(Ascii, Decoded, sizeof Ascii) == 0;
}

int CodePageOfEncodingName(std::string_view Name) {
  std::string Upper(Name);
  for (char& C : Upper) C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
  if (Upper == "UTF-8" || Upper == "UTF8") return UTF8_CODEPAGE;
  if (Upper == "MACINTOSH") return 10000;
  for (const std::string_view Prefix : {"CP", "WINDOWS-", "IBM"}) {
    if (Upper.size() <= Prefix.size() || Upper.compare(0, Prefix.size(), Prefix) != 0) continue;
    const std::string_view Digits = std::string_view(Upper).substr(Prefix.size());
    int Number = 0;
    const auto [End, Error] = std::from_chars(Digits.data(), Digits.data() + Digits.size(), Number);
    return Error == std::errc() && End == Digits.data() + Digits.size() && Number > 0 ? Number : 0;
  }
  return 0;
}

std::string CodePageName(int CodePage) {
  if (CodePage == UTF8_CODEPAGE || CodePage == 10000) return IconvName(CodePage);
  return "cp" + std::to_string(CodePage);
}

TUtf8Kind ClassifyUtf8(std::string_view Text) {
  const auto* Begin = reinterpret_cast<const unsigned char*>(Text.data());
  const auto* P = Begin;
  const auto* End = P + Text.size();
  bool NonAscii = false;
  while (P < End) {
    // Thirty-two or eight ASCII bytes at a time: most table text is plain.
    constexpr std::uint64_t HighBits = 0x8080808080808080ULL;
    std::uint64_t Words[4];
    if (End - P >= 32 && (std::memcpy(Words, P, 32),
                          ((Words[0] | Words[1] | Words[2] | Words[3]) & HighBits) == 0)) {
      P += 32;
      continue;
    }
    if (End - P >= 8 && (std::memcpy(Words, P, 8), (Words[0] & HighBits) == 0)) {
      P += 8;
      continue;
    }
    if (*P < 0x80) {
      ++P;
      continue;
    }
    std::size_t Pos = std::size_t(P - Begin);
    if (!NextUtf8(Text, Pos)) return ukInvalid;
    NonAscii = true;
    P = Begin + Pos;
  }
  return NonAscii ? ukUtf8 : ukAscii;
}

std::size_t Utf8PrefixLength(std::string_view Text, std::size_t MaxBytes) {
  if (Text.size() <= MaxBytes) return Text.size();
  // A character has at most three continuation bytes after its first.
  std::size_t Length = MaxBytes;
  for (int I = 0; I < 3 && Length > 0 && IsContinuation(Text[Length]); ++I) --Length;
  return Length;
}

int TranslationModeFor(int CodePage) {
  if (CodePage == ANSI_CODEPAGE) return 1;
  if (CodePage == OEM_CODEPAGE) return 2;
  return CodePageSupported(CodePage) ? 3 : 0;
}

struct TCodePageConverter::TState {
  iconv_t Decoder = reinterpret_cast<iconv_t>(-1);
  iconv_t Encoder = reinterpret_cast<iconv_t>(-1);
};

TCodePageConverter::TCodePageConverter(int CodePage)
    : FCodePage(CodePage), FState(std::make_unique<TState>()) {
  if (!CodePageSupported(CodePage)) return;
  FState->Decoder = iconv_open("UTF-8", IconvName(CodePage).c_str());
  FState->Encoder = iconv_open(IconvName(CodePage).c_str(), "UTF-8");
}

TCodePageConverter::~TCodePageConverter() {
  if (FState->Decoder != reinterpret_cast<iconv_t>(-1)) iconv_close(FState->Decoder);
  if (FState->Encoder != reinterpret_cast<iconv_t>(-1)) iconv_close(FState->Encoder);
}

bool TCodePageConverter::Supported() const {
  return FState->Decoder != reinterpret_cast<iconv_t>(-1) &&
         FState->Encoder != reinterpret_cast<iconv_t>(-1);
}

std::string TCodePageConverter::ToUtf8(std::string_view Raw) const {
  std::string Result;
  AppendUtf8(Raw, Result);
  return Result;
}

void TCodePageConverter::AppendUtf8(std::string_view Raw, std::string& Result) const {
  // Every code page here keeps ASCII as it is: plain text needs no converter.
  if (IsAsciiOnly(Raw) || (FCodePage == UTF8_CODEPAGE && ClassifyUtf8(Raw) != ukInvalid)) {
    Result.append(Raw);
    return;
  }
  if (!Supported()) {
    for (char C : Raw) {
      if (static_cast<unsigned char>(C) < 0x80)
        Result += C;
      else
        Result += ReplacementChar;
    }
    return;
  }
  iconv(FState->Decoder, nullptr, nullptr, nullptr, nullptr);
  std::string_view In = Raw;
  while (ConvertChunks(FState->Decoder, In, Result)) {
    // A byte the code page does not define (or a cut multi-byte sequence) shows as U+FFFD.
    Result += ReplacementChar;
    In.remove_prefix(1);
    iconv(FState->Decoder, nullptr, nullptr, nullptr, nullptr);
  }
}

std::string TCodePageConverter::FromUtf8(std::string_view Text) const {
  const auto Refuse = [&] {
    return EDbaseError(
        FormatMessage(DbaseMessages::UntranslatableText, std::string(Text).c_str(), FCodePage));
  };
  if (!Supported()) {
    if (!IsAsciiOnly(Text)) throw Refuse();
    return std::string(Text);
  }
  if (IsAsciiOnly(Text)) return std::string(Text);
  if (FCodePage == UTF8_CODEPAGE) {
    if (ClassifyUtf8(Text) == ukInvalid) throw Refuse();
    return std::string(Text);
  }
  iconv(FState->Encoder, nullptr, nullptr, nullptr, nullptr);
  std::string Result;
  std::string_view In = Text;
  if (ConvertChunks(FState->Encoder, In, Result)) throw Refuse();
  char Chunk[1024];
  char* Out = Chunk;
  std::size_t OutLeft = sizeof Chunk;
  iconv(FState->Encoder, nullptr, nullptr, &Out, &OutLeft);  // flush shift state
  Result.append(Chunk, Out - Chunk);
  return Result;
}
