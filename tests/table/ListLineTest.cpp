// The listing's lines, formatted straight from the record bytes, against the values the
// table's fields hand out one by one, over every field kind and odd stored values.
#include "table/ListLine.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>

#include "table/DbaseTable.h"

#include "tests/table/TableTestFiles.h"

namespace {

// A value as the listing shows it, from the field's variant.
std::string FieldListValue(const TField& Field) {
  const TVariant Value = Field.Value();
  if (Value.IsNull()) return {};
  if (Field.DataType() == ftBoolean) return Value.AsBoolean() ? "T" : "F";
  if (Field.DataType() != ftDate && Field.DataType() != ftDateTime) return Value.AsString();
  const TDateParts D = DecodeDate(Value.AsDateTime());
  int H = 0, M = 0, S = 0, Ms = 0;
  DecodeTime(Value.AsDateTime(), H, M, S, Ms);
  char Text[64];
  if (Field.DataType() == ftDate)
    std::snprintf(Text, sizeof Text, "%04d%02d%02d", D.Year, D.Month, D.Day);
  else
    std::snprintf(Text, sizeof Text, "%04d%02d%02d%02d%02d%02d", D.Year, D.Month, D.Day, H, M, S);
  return Text;
}

// Every record's line from the listing, each checked against the fields' values.
std::vector<std::string> ListedLines(const std::string& Name,
                                     TDateTimeHandling Handling = dtBDETimeStamp,
                                     bool UseFloatFields = true) {
  TDbaseTable Table(nullptr);
  Table.SetTableName(Name);
  Table.SetUseFloatFields(UseFloatFields);
  Table.SetReadOnly(true);
  Table.SetShowDeleted(true);
  Table.SetDateTimeHandling(Handling);
  Table.Open();
  const TListLine Line(Table);
  std::vector<std::string> Lines;
  for (Table.First(); !Table.Eof(); Table.Next()) {
    std::string Expected(1, Table.IsDeleted() ? '*' : ' ');
    for (int I = 0; I < Table.FieldCount(); ++I)
      Expected += '\t' + FieldListValue(*Table.Fields()[I]);
    std::string Listed;
    Line.Append(Listed);
    EXPECT_EQ(Listed, Expected + '\n') << "record " << Table.RecNo();
    Lines.push_back(Listed);
  }
  return Lines;
}

const std::vector<TRawField> TextColumns = {
    {"NAME", 'C', 8}, {"SMALL", 'N', 4},     {"PRICE", 'N', 8, 2},
    {"BIG", 'N', 20}, {"RATIO", 'F', 10, 3}, {"OK", 'L', 1},
    {"WHEN", 'D', 8}, {"STAMP", 'T', 14},    {"NOTE", 'M', 10}};

}  // namespace

TEST(ListLineTest, TextStoredFieldsListAsTheirValues) {
  TScratchDir Dir;
  const std::string Name = Dir.File("text.dbf");
  std::string Padded = Record(TextColumns, {"ab", "1", "2"});
  Padded.replace(3, 6, 6, '\0');     // NUL padding after the text
  Padded.replace(21, 20, 20, '\0');  // a numeric field of NULs
  WriteTable(
      Name, TextColumns,
      {Record(TextColumns, {"Caf\x82", "12", "1.50", "123456789012345678", "-0.001", "T",
                            "20240229", "20240229235959", ""}),
       Record(TextColumns,
              {"  lead", "****", " * *", "abc", "1e5", "?", "2024130", "2024022925", "0000000001"},
              true),
       Record(TextColumns,
              {"", "+7", "-0.00", "99999999999999999999", "+1.5", "y", "00000000", "19991231", ""}),
       Record(TextColumns, {"\xff\xe9", "-", "1.2.3", "-9223372036854775809", ".5", "f", "abcdefgh",
                            "20241301120000", ""}),
       Padded, Record(TextColumns, {"x", "0", "-0012.50", "0.1234567890123456", "5.", "T"}),
       Record(TextColumns, {"  -", "  4x", "     abc", "1.5e3", "   abc", "t", "2024013X"}),
       Record(TextColumns, {"*****", "  -7", "", "    **1*****", "    ******", "F", "20240231"})},
      0x01);  // code page 437
  const auto Lines = ListedLines(Name);
  ASSERT_EQ(Lines.size(), 8u);
  EXPECT_EQ(Lines[0],
            " \tCafé\t12\t1.5\t123456789012345680\t-0.001\tT\t20240229\t20240229235959\t\n");
  // Overflow asterisks read as null, malformed numbers as zero, impossible dates as null, a
  // date-time without its time at midnight.
  EXPECT_EQ(Lines[1], "*\t  lead\t\t\t0\t100000\tF\t\t20240229000000\t\n");
  // Date parts that are not numbers count as 1.
  EXPECT_EQ(Lines[3], " \t\xC2\xA0\xCE\x98\t0\t0\t-9223372036854775808\t0.5\tF\t00010101\t\t\n");
  EXPECT_EQ(Lines[4], " \tab\t1\t2\t\t\t\t\t\t\n");
  // More than 15 significant digits go the long way.
  EXPECT_EQ(Lines[5], " \tx\t0\t-12.5\t0.1234567890123456\t5\tT\t\t\t\n");
  // Leading blanks of text are kept; a day that is not a number counts as 1.
  EXPECT_EQ(Lines[6], " \t  -\t0\t0\t1500\t0\tT\t20240101\t\t\n");
  // Asterisks are text in text; a digit among them makes a malformed number.
  EXPECT_EQ(Lines[7], " \t*****\t-7\t\t0\t\tF\t\t\t\n");
}

// Whole-number columns of every width, read as integers or as floats: the stored text is copied
// only when it reads as itself.
TEST(ListLineTest, WholeNumbersListAsTheirValues) {
  TScratchDir Dir;
  const std::string Name = Dir.File("whole.dbf");
  const std::vector<TRawField> Columns = {{"S", 'N', 4}, {"I", 'N', 9}, {"L", 'N', 20}};
  const std::vector<std::vector<std::string>> Values = {
      {"-007", "000000012", "-0000000000000000001"}, {"-0", "+0", "123456789012345678"},
      {"+12", "999999999", "1234567890123456789"},   {"1 2", "-99999999", "-9223372036854775809"},
      {"+-3", "1.5", "9223372036854775807"},         {"****", "-", "+"},
  };
  std::vector<std::string> Records;
  for (const auto& Row : Values) Records.push_back(Record(Columns, Row));
  WriteTable(Name, Columns, Records);
  for (bool UseFloatFields : {true, false}) {
    const auto Lines = ListedLines(Name, dtBDETimeStamp, UseFloatFields);
    ASSERT_EQ(Lines.size(), Values.size());
    EXPECT_EQ(Lines[0], " \t-7\t12\t-1\n");
    EXPECT_EQ(Lines[1],
              UseFloatFields ? " \t0\t0\t123456789012345680\n" : " \t0\t0\t123456789012345678\n");
  }
}

TEST(ListLineTest, BinaryFieldsListAsTheirValues) {
  TScratchDir Dir;
  const std::string Name = Dir.File("binary.dbf");
  const auto Big = [](std::uint64_t Bits, std::uint8_t* Dst, int Count) {
    for (int I = Count - 1; I >= 0; --I, Bits >>= 8) Dst[I] = static_cast<std::uint8_t>(Bits);
  };
  const double Nan = std::numeric_limits<double>::quiet_NaN();
  const double Inf = std::numeric_limits<double>::infinity();
  // Whole number, auto-increment, time stamp (milliseconds from year 1), sortable double.
  struct TRow {
    std::uint32_t Whole, Seq;
    double Stamp;
    std::uint64_t Sortable;
  };
  const std::vector<TRow> Rows = {
      {0, 0, 0, 0},
      {0x7FFFFFFB, 0xFFFFFFFF, 63871286399999.0, 0xC004000000000000},  // -5, 2.5
      {1, 0x80000000, -86400000.0, 0x3FFFFFFFFFFFFFFF},                // -2.0
      {0x80000000, 0x80000001, Inf, std::bit_cast<std::uint64_t>(Nan) | std::uint64_t{1} << 63},
      {0x80000001, 1, Nan, 0xFFF0000000000000},  // the sortable form of +infinity
  };
  {
    TDbaseFile File;
    File.SetFileName(Name);
    File.SetMode(pfExclusiveCreate);
    File.SetTableLevel(7);
    File.CreateTable(
        {{"WHOLE", 'I', 4}, {"SEQ", '+', 4}, {"AT", '@', 8}, {"DBL", 'O', 8}, {"NAME", 'C', 4}});
    std::vector<std::uint8_t> R(File.RecordSize());
    for (const TRow& Row : Rows) {
      File.InitRecord(R.data());
      const int RecNo = File.Insert(R.data());
      Big(Row.Whole, &R[1], 4);
      Big(Row.Seq, &R[5], 4);
      Big(Row.Stamp == 0 ? 0 : std::bit_cast<std::uint64_t>(Row.Stamp), &R[9], 8);
      Big(Row.Sortable, &R[17], 8);
      File.WriteRecord(RecNo, R.data());
    }
    File.WriteHeader();
  }
  const auto Lines = ListedLines(Name);
  ASSERT_EQ(Lines.size(), Rows.size());
  EXPECT_EQ(Lines[0], " \t\t\t\t\t\n");
  EXPECT_EQ(Lines[1], " \t-5\t2147483647\t20241230235959\t2.5\t\n");
  EXPECT_EQ(Lines[3], " \t0\t1\t\tnan\t\n");
  EXPECT_EQ(Lines[4], " \t1\t-2147483647\t\tinf\t\n");
}

TEST(ListLineTest, RawTimeStampsListAsDates) {
  TScratchDir Dir;
  const std::string Name = Dir.File("stamps.dbf");
  {
    TDbaseFile File;
    File.SetFileName(Name);
    File.SetMode(pfExclusiveCreate);
    File.SetTableLevel(7);
    File.SetDateTimeHandling(dtDateTime);
    File.CreateTable({{"AT", '@', 8}});
    std::vector<std::uint8_t> R(File.RecordSize());
    for (double Stamp : {63871286399999.0, 1.5, -3.25}) {
      File.InitRecord(R.data());
      File.SetFieldData(0, ftFloat, TVariant(Stamp), R.data());
      File.Insert(R.data());
    }
    File.WriteHeader();
  }
  EXPECT_EQ(ListedLines(Name, dtDateTime).size(), 3u);
}
