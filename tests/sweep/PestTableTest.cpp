#include "sweep/PestTable.h"

#include <gtest/gtest.h>

#include "sweep/PestFields.h"
#include "table/DbaseFile.h"

// The one layout in the code is the one the shipped table has on disk.
TEST(PestLayout, IsTheShippedTablesLayout) {
  TDbaseFile Shipped;
  Shipped.SetFileName(TESSOLON_SOURCE_DIR "/data/para.dbf");
  Shipped.SetMode(pfReadOnly);
  Shipped.Open();
  const std::vector<TDbaseFieldDef> Expected = PestFileFields();
  ASSERT_EQ(Shipped.FieldDefs().Count(), static_cast<int>(Expected.size()));
  for (int I = 0; I < Shipped.FieldDefs().Count(); ++I) {
    const TDbaseFieldDef& Stored = Shipped.FieldDefs()[I];
    EXPECT_EQ(Stored.FieldName, Expected[I].FieldName);
    EXPECT_EQ(Stored.NativeFieldType, Expected[I].NativeFieldType) << Stored.FieldName;
    EXPECT_EQ(Stored.Size, Expected[I].Size) << Stored.FieldName;
    EXPECT_EQ(Stored.Precision, Expected[I].Precision) << Stored.FieldName;
  }
}
