// The window's pest selector on a table that Calc edited beside our index.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/qt/DbCtrls.h"
#include "tests/app/WindowFixture.h"
#include "tests/calc/CalcRoundTrips.h"

namespace {

class CalcPeerWindow : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    if (!TCalc::Installed()) GTEST_SKIP() << "LibreOffice Calc (soffice) is not installed";
    Trips = &CalcRoundTrips();
  }

  const TCalcRoundTrips* Trips = nullptr;
};

}  // namespace

TEST_F(CalcPeerWindow, TheSelectorListsEveryProfileOfItsEdit) {
  CopyFolderKeepingTimes(Trips->EditedData, Dir / "data");
  StartProgram();
  EXPECT_TRUE(frmMain->TableOpened());
  // The window had the table alone: it rebuilt the index Calc left behind, and said so once.
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_NE(Messages[0].find("idx.ndx\" does not match its table"), std::string::npos);
  EXPECT_NE(Messages[0].find("rebuilt from the table"), std::string::npos);
  const TCsv& Csv = Trips->EditedCsv;
  std::vector<std::string> Expected;
  for (std::size_t R = 1; R < Csv.size(); ++R)
    Expected.push_back(Csv[R][CsvColumn(Csv, "NAME_PEST")]);
  auto& Selector = Main<TDBLookupComboBox>("cbLook1");
  std::vector<std::string> Listed;
  for (int I = 0; I < Selector.ItemCount(); ++I) Listed.push_back(Selector.ItemText(I));
  std::sort(Expected.begin(), Expected.end());
  std::sort(Listed.begin(), Listed.end());
  EXPECT_EQ(Listed, Expected);
}
