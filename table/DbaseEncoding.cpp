// TDbaseFile: which code page the table's text is read and written in.
#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/core/Utf8.h"
#include "table/CodePage.h"
#include "table/DbaseFile.h"
#include "table/DbaseMessages.h"

void TDbaseFile::ChooseCodePage() {
  if (FChosenCodePage != 0) {
    FCodePage = FChosenCodePage;
    FCodePageSource = csChosen;
    return;
  }
  FCodePage = FVersion == tvDbase7 ? CodePageOfLanguageName(std::string_view(
                                         reinterpret_cast<const char*>(Header() + 32),
                                         strnlen(reinterpret_cast<const char*>(Header() + 32), 32)))
                                   : CodePageOfLanguageId(Header()[29]);
  FCodePageSource = csMark;
  if (FCodePage != 0) return;
  // A marked table is taken at its word; only an unmarked one is looked at.
  const bool Utf8 = TextKind() == ukUtf8;
  FCodePage = Utf8 ? UTF8_CODEPAGE : OEM_CODEPAGE;
  FCodePageSource = Utf8 ? csUtf8Text : csDefault;
}

// One pass over the character fields of every record, in large reads, stopping at the first
// byte that cannot be UTF-8. The lock field holds binary stamps, not text.
TUtf8Kind TDbaseFile::TextKind() {
  std::vector<std::pair<int, int>> Fields;  // offset and length in the record
  for (const TDbaseFieldDef& Def : FFieldDefs)
    if (Def.NativeFieldType == 'C' && !Def.Hidden)
      Fields.emplace_back(Def.Offset, Def.StoredLength);
  const int Count = RecordCount();
  if (Fields.empty() || Count == 0) return ukAscii;
  const int Size = RecordSize();
  // Reads of up to 1 MiB, but no larger than the table: a small table opens without zeroing and
  // touching a whole megabyte it never fills.
  const int PerRead = std::max(1, std::min(Count, (1 << 20) / Size));
  std::vector<std::uint8_t> Block(static_cast<std::size_t>(PerRead) * Size);
  bool NonAscii = false;
  for (int First = 1; First <= Count; First += PerRead) {
    const int Records = std::min(PerRead, Count - First + 1);
    const int Got = ReadBytes(PageOffset(First), Block.data(), Records * Size) / Size;
    // Records without a byte above 0x7F hold plain text only, found at a glance.
    const bool Plain =
        ClassifyUtf8(std::string_view(reinterpret_cast<const char*>(Block.data()),
                                      static_cast<std::size_t>(Got) * Size)) == ukAscii;
    for (int R = 0; R < Got && !Plain; ++R) {
      const char* Record = reinterpret_cast<const char*>(Block.data()) + R * Size;
      for (const auto& [Offset, Length] : Fields) {
        const TUtf8Kind Kind = ClassifyUtf8(std::string_view(Record + Offset, Length));
        if (Kind == ukInvalid) return ukInvalid;
        NonAscii = NonAscii || Kind == ukUtf8;
      }
    }
    if (Got < Records) break;
  }
  return NonAscii ? ukUtf8 : ukAscii;
}

namespace {

bool WantsMark(TDbaseFile& File) {
  const bool HasMemo = std::any_of(File.FieldDefs().begin(), File.FieldDefs().end(),
                                   [](const TDbaseFieldDef& D) { return D.IsBlob(); });
  return File.Version() == tvDbase3 && File.LanguageId() == 0 && !HasMemo &&
         File.TextKind() == ukAscii;
}

}  // namespace

bool MarkPlainTable(const std::string& FileName, int CodePage) {
  const std::uint8_t Mark = CodePageMark(CodePage);
  TDbaseFile File;
  File.SetFileName(FileName);
  // A look first, shared: most tables are marked already, and others may be reading them.
  File.SetMode(pfReadOnly);
  File.Open();
  if (File.CodePageSource() == csMark && File.CodePage() == CodePage) return true;
  if (Mark == 0 || !WantsMark(File)) return false;
  File.Close();
  // Marking changes how every open reads the text: nobody may have the table open meanwhile,
  // and its text is looked at again once we have it alone.
  File.SetMode(pfExclusiveOpen);
  try {
    File.Open();
  } catch (const EFOpenError&) {
    return false;
  }
  if (!WantsMark(File)) return false;
  File.Header()[29] = Mark;
  File.WriteHeader();
  File.Close();
  return true;
}
